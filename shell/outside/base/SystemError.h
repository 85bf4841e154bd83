#pragma once

#include <string>

namespace orv {

// Operating-system errors in the user's words.
class SystemError {
 public:
  // strerror's text, except that a full disk or an exhausted quota says so plainly.
  static std::string Text(int error_number);
  static bool DiskFull(int error_number);
};

}  // namespace orv
