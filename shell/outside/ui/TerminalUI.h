#pragma once

#include <istream>
#include <ostream>

#include "shell/outside/ui/UserInterface.h"

namespace orv {

// Asks the person at the terminal: questions wait for a typed answer, dialogs list their controls
// and take one action per line. End of input answers Cancel or No and closes dialogs.
class TerminalUI : public UserInterface {
 public:
  TerminalUI(std::istream& in, std::ostream& out, std::ostream& summary, bool live_progress);

  MsgAnswer MsgBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                   std::string_view title) override;
  void ShowModal(Form& form) override;
  std::unique_ptr<ProgressBar> NewProgressBar() override;
  void Notice(std::string_view text) override;
  // Written to the summary stream: it is what the user asked to see.
  void ShowRecord(std::string_view title, const std::vector<RecordLine>& lines) override;

 private:
  std::istream& in_;
  std::ostream& out_;
  std::ostream& summary_;
  bool live_progress_;
};

}  // namespace orv
