#include "shell/outside/com/ComModule.h"

#include <atomic>

namespace orv {
namespace {

struct Counts {
  std::atomic<std::int64_t> objects{0};
  std::atomic<std::int64_t> locks{0};
};

// Module state by nature: the library's own lifetime depends on it.
Counts& ModuleCounts() {
  static Counts counts;
  return counts;
}

}  // namespace

void ComModule::ObjectCreated() { ++ModuleCounts().objects; }
void ComModule::ObjectDestroyed() { --ModuleCounts().objects; }
void ComModule::Lock(bool lock) {
  if (lock)
    ++ModuleCounts().locks;
  else
    --ModuleCounts().locks;
}
bool ComModule::CanUnload() { return ModuleCounts().objects == 0 && ModuleCounts().locks == 0; }
std::int64_t ComModule::LiveObjects() { return ModuleCounts().objects; }

}  // namespace orv
