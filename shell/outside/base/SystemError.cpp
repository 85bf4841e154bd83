#include "shell/outside/base/SystemError.h"

#include <cerrno>
#include <cstring>

namespace orv {

bool SystemError::DiskFull(int error_number) {
  return error_number == ENOSPC || error_number == EDQUOT;
}

std::string SystemError::Text(int error_number) {
  if (error_number == ENOSPC) return "the disk is full (no space left on the device)";
  if (error_number == EDQUOT) return "the disk is full (the disk quota is used up)";
  return std::strerror(error_number);
}

}  // namespace orv
