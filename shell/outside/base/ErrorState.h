#pragma once

#include <cstdint>
#include <string>

namespace orv {

// The last error caught by a handler. Shared by every component instance of the process and only
// meaningful between the save and the re-raise inside one handler.
struct ErrorState {
  std::int32_t number = 0;
  std::string source;
  std::string description;
  int line = 0;
};

ErrorState& ModuleErrorState();

}  // namespace orv
