#pragma once

#include <cstddef>
#include <filesystem>

namespace orv {

// Removes the temporary files of a run that SIGTERM, SIGINT or SIGHUP ends, then lets the signal
// end the process as it would have. A registered path is a file (unlinked) or a folder of files
// (emptied and removed). Everything the handler needs is prepared when a path is registered, so
// the handler makes only system calls that are safe inside a signal handler. SIGKILL cannot be
// caught: TemporaryFolder::RemoveStale clears what such a run leaves.
//
// A process-wide table by necessity: a signal handler has no other way to find the paths.
class FatalSignalCleanup {
 public:
  // Installs the handlers; a signal the process ignores (nohup) stays ignored. The host calls it
  // once at start; registrations made without it are harmless.
  static void Install();

  // Keeps `path` registered for its lifetime. Fails silently when the table is full or the path
  // too long: cleanup on a signal is a courtesy, the stale-run sweep the guarantee.
  class Registration {
   public:
    Registration(const std::filesystem::path& path, bool folder);
    ~Registration();
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

   private:
    int slot_ = -1;
  };
};

}  // namespace orv
