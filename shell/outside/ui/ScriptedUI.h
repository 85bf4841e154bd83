#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "shell/outside/ui/UserInterface.h"

namespace orv {

// Answers questions and dialogs from a queue given in advance (tests, `orvstock --answer`).
// Messages that only inform are written out and need no answer. When the queue runs dry a
// question is answered Cancel or No and a dialog is closed by its close box, and the run says so.
class ScriptedUI : public UserInterface {
 public:
  ScriptedUI(std::deque<std::string> answers, std::ostream& notices, std::ostream& summary,
             bool live_progress = false);

  void AddAnswer(std::string answer) { answers_.push_back(std::move(answer)); }
  std::size_t RemainingAnswers() const { return answers_.size(); }
  // Every message box text shown, in order.
  const std::vector<std::string>& Messages() const { return messages_; }

  MsgAnswer MsgBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                   std::string_view title) override;
  void ShowModal(Form& form) override;
  std::unique_ptr<ProgressBar> NewProgressBar() override;
  void Notice(std::string_view text) override;
  // Written to the summary stream: it is what the run was asked to show.
  void ShowRecord(std::string_view title, const std::vector<RecordLine>& lines) override;

 private:
  std::deque<std::string> answers_;
  std::ostream& notices_;
  std::ostream& summary_;
  bool live_progress_;
  std::vector<std::string> messages_;
};

}  // namespace orv
