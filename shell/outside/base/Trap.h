#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "shell/outside/base/AppError.h"

namespace orv {

// Every routine of substance runs its body through Trap. The body numbers its own steps by
// assigning to `line` (10, 20, ...), so a failure names the step whatever the file looks like:
//
//   return Trap("ReadIt of Class Module clsStockd Line#:", [&](int& line) {
//     line = 10; ...
//     line = 20; ...
//   });
//
// A tag that ends in ':' gets the failing step number appended ("... Line#:20"); other tags stand
// as they are.

// The error as it would be re-raised: the saved source grows by the step and the tag; number and
// description stay. `current` must be the exception being handled.
AppError ChainError(std::exception_ptr current, std::string_view tag, int line);

// Saves the error into the module error state and re-raises it with the tag.
[[noreturn]] void Reraise(std::exception_ptr current, std::string_view tag, int line);

// The routine's tag as it appears in the source chain.
std::string TagWithLine(std::string_view tag, int line);

template <class Body>
auto Trap(std::string_view tag, Body&& body) -> std::invoke_result_t<Body, int&> {
  int line = 0;
  try {
    return std::forward<Body>(body)(line);
  } catch (...) {
    Reraise(std::current_exception(), tag, line);
  }
}

}  // namespace orv
