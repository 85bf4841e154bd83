#include "shell/outside/base/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/FatalSignalCleanup.h"
#include "shell/outside/base/SystemError.h"

namespace orv {
namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& what) {
  throw AppError(kUnexpectedError, "", "Cannot write " + path.string() + ": " + what);
}

void SyncPath(const std::filesystem::path& path, int flags) {
  int fd = ::open(path.c_str(), flags);
  if (fd < 0) Fail(path, SystemError::Text(errno));
  int rc = ::fsync(fd);
  int error = errno;
  ::close(fd);
  if (rc != 0 && (flags & O_DIRECTORY) == 0) Fail(path, SystemError::Text(error));
}

// Removes the temporary file unless the rename took it, also when a signal ends the run.
class TemporaryGuard {
 public:
  explicit TemporaryGuard(std::filesystem::path path)
      : path_(std::move(path)), registration_(path_, false) {}
  ~TemporaryGuard() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove(path_, ignored);
  }
  void Release() { path_.clear(); }
  TemporaryGuard(const TemporaryGuard&) = delete;
  TemporaryGuard& operator=(const TemporaryGuard&) = delete;

 private:
  std::filesystem::path path_;
  FatalSignalCleanup::Registration registration_;
};

}  // namespace

std::filesystem::path AtomicFile::TemporaryBeside(const std::filesystem::path& target) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = target;
    candidate += ".tmp" + std::to_string(random() % 1000000);
    if (!std::filesystem::exists(candidate)) return candidate;
  }
  Fail(target, "no free temporary name");
}

void AtomicFile::Commit(const std::filesystem::path& temporary,
                        const std::filesystem::path& target) {
  SyncPath(temporary, O_RDONLY);
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) Fail(target, SystemError::Text(error.value()));
  auto folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
  SyncPath(folder, O_RDONLY | O_DIRECTORY);
}

void AtomicFile::Write(const std::filesystem::path& target,
                       const std::function<void(std::ostream&)>& fill,
                       const std::function<void()>& before_rename) {
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path());
  auto temporary = TemporaryBeside(target);
  TemporaryGuard guard(temporary);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) Fail(temporary, SystemError::Text(errno));
    fill(out);
    errno = 0;
    out.flush();
    if (!out) Fail(temporary, errno != 0 ? SystemError::Text(errno) : "write failed");
  }
  if (before_rename) before_rename();
  Commit(temporary, target);
  guard.Release();
}

void AtomicFile::WriteText(const std::filesystem::path& target, std::string_view text) {
  Write(target, [&](std::ostream& out) { out.write(text.data(), std::ssize(text)); });
}

}  // namespace orv
