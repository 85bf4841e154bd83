#pragma once

#include <cstdint>

namespace orv {

// How many objects of the library are alive and how many locks hosts hold on it; the library may
// be unloaded only when both are zero.
class ComModule {
 public:
  static void ObjectCreated();
  static void ObjectDestroyed();
  static void Lock(bool lock);
  static bool CanUnload();
  static std::int64_t LiveObjects();
};

}  // namespace orv
