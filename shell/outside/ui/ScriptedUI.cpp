#include "shell/outside/ui/ScriptedUI.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/ui/DialogHost.h"
#include "shell/outside/ui/MessageText.h"
#include "shell/outside/ui/ProgressBar.h"

namespace orv {

ScriptedUI::ScriptedUI(std::deque<std::string> answers, std::ostream& notices,
                       std::ostream& summary, bool live_progress)
    : answers_(std::move(answers)),
      notices_(notices),
      summary_(summary),
      live_progress_(live_progress) {}

MsgAnswer ScriptedUI::MsgBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                             std::string_view title) {
  messages_.emplace_back(prompt);
  notices_ << MessageText::Render(prompt, icon, title) << '\n';
  if (buttons == MsgButtons::kOK) return MsgAnswer::kOK;
  if (answers_.empty()) {
    MsgAnswer refusal = MessageText::Refusal(buttons);
    notices_ << "orvstock: nobody answered \"" << prompt << "\": answered "
             << MessageText::Name(refusal) << '\n';
    return refusal;
  }
  std::string word = answers_.front();
  answers_.pop_front();
  auto answer = MessageText::Parse(word, buttons);
  if (!answer)
    throw AppError(kUnexpectedError, "",
                   "The answer \"" + word + "\" does not fit the question \"" +
                       std::string(prompt) + "\" (" + MessageText::Choices(buttons) + ")");
  notices_ << "  answered " << MessageText::Name(*answer) << '\n';
  return *answer;
}

void ScriptedUI::ShowModal(Form& form) {
  DialogHost::Run(
      form,
      [this](const Form& shown) -> std::optional<std::string> {
        if (auto standing = StandingAnswer(shown)) return standing;
        if (answers_.empty()) return std::nullopt;
        std::string action = answers_.front();
        answers_.pop_front();
        return action;
      },
      notices_, false);
}

std::unique_ptr<ProgressBar> ScriptedUI::NewProgressBar() {
  return std::make_unique<ProgressBar>(notices_, summary_, live_progress_);
}

void ScriptedUI::Notice(std::string_view text) { notices_ << text << '\n'; }

void ScriptedUI::ShowRecord(std::string_view title, const std::vector<RecordLine>& lines) {
  summary_ << RecordText(title, lines);
}

}  // namespace orv
