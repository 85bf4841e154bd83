#include "shell/outside/ui/ErrorReporter.h"

#include "shell/outside/ui/UserInterface.h"

namespace orv {

ErrorReporter::ErrorReporter(std::shared_ptr<UserInterface> ui) : ui_(std::move(ui)) {}

std::string ErrorReporter::Text(const AppError& error) {
  std::string source = error.Source();
  for (auto at = source.find("\r\n"); at != std::string::npos; at = source.find("\r\n", at + 1))
    source.replace(at, 2, "\n  ");
  return "Error " + std::to_string(error.Number()) + ": " + error.Description() + "\nSource:\n  " +
         source;
}

void ErrorReporter::Report(const AppError& error) {
  ++reported_;
  ui_->MsgBox(detailed_ ? Text(error) : error.Description(), MsgButtons::kOK, MsgIcon::kExclamation,
              "Error");
}

}  // namespace orv
