#pragma once

#include <memory>

#include "shell/outside/ui/UserInterface.h"

namespace orv {

class CalcCallbacks;

// Message boxes, dialogs, progress and notices shown by the spreadsheet program through its
// host: a dialog is handed to the host, which shows it (or answers it from a script) and hands
// back the user's actions; the form itself checks and applies them.
class CalcUserInterface : public UserInterface {
 public:
  explicit CalcUserInterface(const CalcCallbacks& host);

  MsgAnswer MsgBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                   std::string_view title) override;
  void ShowModal(Form& form) override;
  std::unique_ptr<ProgressBar> NewProgressBar() override;
  void Notice(std::string_view text) override;

 private:
  const CalcCallbacks& host_;
};

}  // namespace orv
