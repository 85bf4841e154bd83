#pragma once

#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"

namespace orv {

class UserInterface;

// Shows an error to the user: its number, its description and the routines it crossed, innermost
// first. The host-contract members end every error chain here, so no error reaches the host.
class ErrorReporter {
 public:
  explicit ErrorReporter(std::shared_ptr<UserInterface> ui);

  void Report(const AppError& error);
  // How many errors were shown; the command-line host turns a non-zero count into its exit code.
  int ReportedCount() const { return reported_; }
  // A run that ended without its work and with nothing more to show (the user declined a
  // question, or some rows failed and were named already); the host exits 1 for these too.
  void CountFailure() { ++failures_; }
  int FailureCount() const { return failures_; }

  static std::string Text(const AppError& error);

  // Runs a host-contract member's body; an error is chained with the member's tag and reported.
  // Returns false when the body failed.
  template <class Body>
  bool Guard(std::string_view tag, Body&& body) {
    int line = 0;
    try {
      std::forward<Body>(body)(line);
      return true;
    } catch (...) {
      Report(ChainError(std::current_exception(), tag, line));
      return false;
    }
  }

 private:
  std::shared_ptr<UserInterface> ui_;
  int reported_ = 0;
  int failures_ = 0;
};

}  // namespace orv
