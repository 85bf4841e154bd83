#pragma once

#include <filesystem>
#include <memory>

#include "shell/outside/base/FatalSignalCleanup.h"

namespace orv {

// Keeps other runs of this program off a file from construction to destruction: an advisory lock
// (flock) on a companion file ".~orvstock-lock.NAME" beside it. The system drops the lock when the
// process ends however it ends, so a lock file left by a killed run blocks nobody; the holder
// removes the lock file when it is done.
class FileLock {
 public:
  static constexpr const char* kPrefix = ".~orvstock-lock.";

  // An AppError naming the file when another run holds the lock (and which process, when known),
  // or when the lock file cannot be made.
  explicit FileLock(const std::filesystem::path& file);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  static std::filesystem::path LockPathOf(const std::filesystem::path& file);

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  std::unique_ptr<FatalSignalCleanup::Registration> registration_;
};

}  // namespace orv
