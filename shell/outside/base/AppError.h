#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "shell/outside/base/VbError.h"

namespace orv {

// The object-error base: application errors are numbered from here upward.
inline constexpr std::int32_t vbObjectError = -2147221504;  // 0x80040000
// Raised for a failure that did not come with a number of its own (a library exception).
inline constexpr std::int32_t kUnexpectedError = -2147467259;  // 0x80004005

// An error as the host sees it: a number, the chain of routines it crossed, and the user's text.
class AppError : public std::exception {
 public:
  AppError(std::int32_t number, std::string source, std::string description);
  AppError(VbError number, std::string source, std::string description)
      : AppError(ErrorNumber(number), std::move(source), std::move(description)) {}

  std::int32_t Number() const { return number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

}  // namespace orv
