#include "shell/outside/ui/TerminalUI.h"

#include <algorithm>
#include <string>

#include "shell/outside/ui/DialogHost.h"
#include "shell/outside/ui/MessageText.h"
#include "shell/outside/ui/ProgressBar.h"

namespace orv {

TerminalUI::TerminalUI(std::istream& in, std::ostream& out, std::ostream& summary,
                       bool live_progress)
    : in_(in), out_(out), summary_(summary), live_progress_(live_progress) {}

MsgAnswer TerminalUI::MsgBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                             std::string_view title) {
  out_ << MessageText::Render(prompt, icon, title) << '\n';
  if (buttons == MsgButtons::kOK) return MsgAnswer::kOK;
  for (;;) {
    out_ << MessageText::Choices(buttons) << "? " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) {
      MsgAnswer refusal = MessageText::Refusal(buttons);
      out_ << "\nanswered " << MessageText::Name(refusal) << '\n';
      return refusal;
    }
    if (auto answer = MessageText::Parse(line, buttons)) return *answer;
  }
}

void TerminalUI::ShowModal(Form& form) {
  DialogHost::Run(
      form,
      [this](const Form& shown) -> std::optional<std::string> {
        if (auto standing = StandingAnswer(shown)) return standing;
        bool list = std::any_of(
            shown.Controls().begin(), shown.Controls().end(),
            [](const auto& control) { return control->ControlKind() == Control::Kind::kList; });
        out_ << DialogHost::Describe(shown) << "Type NAME=VALUE to fill a field, "
             << (list ? "a row's number to choose it, " : "")
             << "a button's name to press it, or close: " << std::flush;
        std::string line;
        if (!std::getline(in_, line)) return std::nullopt;
        return line;
      },
      out_, true);
}

std::unique_ptr<ProgressBar> TerminalUI::NewProgressBar() {
  return std::make_unique<ProgressBar>(out_, summary_, live_progress_);
}

void TerminalUI::Notice(std::string_view text) { out_ << text << '\n'; }

void TerminalUI::ShowRecord(std::string_view title, const std::vector<RecordLine>& lines) {
  summary_ << RecordText(title, lines) << std::flush;
}

}  // namespace orv
