#include "shell/outside/base/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/SystemError.h"

namespace orv {

std::filesystem::path FileLock::LockPathOf(const std::filesystem::path& file) {
  return file.parent_path() / (kPrefix + file.filename().string());
}

FileLock::FileLock(const std::filesystem::path& file) : path_(LockPathOf(file)) {
  // A holder removes the lock file as it finishes: a lock won on a file that has just been
  // removed is no lock, so take it again on the new one.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
      throw AppError(kUnexpectedError, "",
                     "Cannot lock " + file.string() + ": " + SystemError::Text(errno));
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      int error = errno;
      char holder[64] = {};
      auto got = ::pread(fd_, holder, sizeof holder - 1, 0);
      ::close(fd_);
      fd_ = -1;
      if (error != EWOULDBLOCK)
        throw AppError(kUnexpectedError, "",
                       "Cannot lock " + file.string() + ": " + SystemError::Text(error));
      std::string who = got > 0 ? std::string(holder, static_cast<std::size_t>(got)) : "";
      while (!who.empty() && (who.back() == '\n' || who.back() == ' ')) who.pop_back();
      throw AppError(kUnexpectedError, "",
                     file.string() + " is in use by another orvstock run" +
                         (who.empty() ? std::string() : " (" + who + ")") +
                         "; try again when it has finished");
    }
    struct stat held {
    }, named{};
    if (::fstat(fd_, &held) == 0 && ::stat(path_.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      char host[256] = {};
      ::gethostname(host, sizeof host - 1);
      std::string who = "process " + std::to_string(::getpid()) + " on " + host + "\n";
      if (::ftruncate(fd_, 0) == 0 && ::pwrite(fd_, who.data(), who.size(), 0) < 0) {
        // The note of who holds the lock is a courtesy; the lock holds without it.
      }
      registration_ = std::make_unique<FatalSignalCleanup::Registration>(path_, false);
      return;
    }
    ::close(fd_);
    fd_ = -1;
  }
  throw AppError(kUnexpectedError, "",
                 "Cannot lock " + file.string() + ": the lock file keeps changing");
}

FileLock::~FileLock() {
  if (fd_ < 0) return;
  registration_.reset();
  // Removed while still held, so that nobody locks the file that is going away.
  ::unlink(path_.c_str());
  ::close(fd_);
}

}  // namespace orv
