#pragma once

#include <filesystem>
#include <string>

#include "shell/outside/base/FatalSignalCleanup.h"

namespace orv {

// One run's temporary files for saving a file, in one folder beside it (so that the finished file
// can be renamed into place): ".~orvstock.HOST.PID.RANDOM". The folder and whatever is left in it
// go when the object does, or when SIGTERM, SIGINT or SIGHUP ends the run; a run killed outright
// leaves it for the next run's RemoveStale.
class TemporaryFolder {
 public:
  static constexpr const char* kPrefix = ".~orvstock.";

  // Creates the folder beside `file`; an AppError naming the folder when that fails.
  explicit TemporaryFolder(const std::filesystem::path& file);
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

  // The start of this process's folder names: ".~orvstock.HOST.PID.".
  static std::string OwnPrefix();
  // Removes from `folder` the temporary folders of runs on this host whose process has ended.
  // Folders of live runs, of other hosts and anything else are left alone; failures are ignored.
  static void RemoveStale(const std::filesystem::path& folder);

 private:
  std::filesystem::path path_;
  FatalSignalCleanup::Registration registration_;
};

}  // namespace orv
