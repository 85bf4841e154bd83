#include "shell/outside/base/TemporaryFolder.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <random>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/SystemError.h"

namespace orv {
namespace {

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == 0) return "localhost";
  return name;
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

std::filesystem::path NewFolder(const std::filesystem::path& file) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate =
        FolderOf(file) / (TemporaryFolder::OwnPrefix() + std::to_string(random() % 1000000000));
    if (::mkdir(candidate.c_str(), 0700) == 0) return candidate;
    if (errno != EEXIST)
      throw AppError(kUnexpectedError, "",
                     "Cannot make a temporary folder beside " + file.string() + ": " +
                         SystemError::Text(errno));
  }
  throw AppError(kUnexpectedError, "", "No free temporary folder name beside " + file.string());
}

}  // namespace

TemporaryFolder::TemporaryFolder(const std::filesystem::path& file)
    : path_(NewFolder(file)), registration_(path_, true) {}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryFolder::OwnPrefix() {
  return kPrefix + HostName() + "." + std::to_string(::getpid()) + ".";
}

void TemporaryFolder::RemoveStale(const std::filesystem::path& folder) {
  const std::string host_prefix = kPrefix + HostName() + ".";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (!name.starts_with(host_prefix) || !entry.is_directory(error)) continue;
    // The rest is "PID.RANDOM" (a name of another host that begins like ours fails to parse).
    auto rest = std::string_view(name).substr(host_prefix.size());
    auto dot = rest.find('.');
    pid_t pid = 0;
    auto [next, fault] =
        std::from_chars(rest.data(), rest.data() + std::min(dot, rest.size()), pid);
    if (dot == std::string_view::npos || fault != std::errc() || next != rest.data() + dot ||
        pid <= 0)
      continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
    std::filesystem::remove_all(entry.path(), error);
  }
}

}  // namespace orv
