#include "shell/outside/base/FatalSignalCleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace orv {
namespace {

constexpr int kSlots = 16;
enum State : int { kFree, kFilling, kArmed };

struct Slot {
  std::atomic<int> state{kFree};
  bool folder = false;
  char path[PATH_MAX] = {};
};

Slot slots[kSlots];

// Unlinks the entries of a folder that holds only files, then the folder. getdents64 rather than
// opendir, which allocates.
void RemoveFolder(const char* path) {
  int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    alignas(8) char buffer[4096];
    for (;;) {
      long got = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
      if (got <= 0) break;
      for (long at = 0; at < got;) {
        auto* entry = reinterpret_cast<dirent64*>(buffer + at);
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) ::unlinkat(fd, name, 0);
        at += entry->d_reclen;
      }
    }
    ::close(fd);
  }
  ::rmdir(path);
}

extern "C" void OnFatalSignal(int signal) {
  int saved = errno;
  for (auto& slot : slots) {
    if (slot.state.load() != kArmed) continue;
    if (slot.folder)
      RemoveFolder(slot.path);
    else
      ::unlink(slot.path);
  }
  errno = saved;
  // SA_RESETHAND restored the default action and SA_NODEFER left the signal unblocked.
  ::raise(signal);
}

}  // namespace

void FatalSignalCleanup::Install() {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    ::sigaction(signal, &action, nullptr);
  }
}

FatalSignalCleanup::Registration::Registration(const std::filesystem::path& path, bool folder) {
  const std::string& text = path.native();
  if (text.size() >= PATH_MAX) return;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slots[i].path, text.c_str(), text.size() + 1);
    slots[i].folder = folder;
    slots[i].state.store(kArmed);
    slot_ = i;
    return;
  }
}

FatalSignalCleanup::Registration::~Registration() {
  if (slot_ >= 0) slots[slot_].state.store(kFree);
}

}  // namespace orv
