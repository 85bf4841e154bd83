#include "shell/outside/calc/CalcUserInterface.h"

#include <deque>
#include <sstream>

#include "shell/outside/calc/CalcCallbacks.h"
#include "shell/outside/ui/DialogHost.h"
#include "shell/outside/ui/ProgressBar.h"

namespace orv {
namespace {

// The status text of the spreadsheet program, painted at the pace of every progress bar.
class CalcProgressBar : public ProgressBar {
 public:
  explicit CalcProgressBar(const CalcCallbacks& host)
      : ProgressBar(&std::chrono::steady_clock::now), host_(host) {}
  ~CalcProgressBar() override {
    try {
      End();
    } catch (...) {  // a host that cannot end its status text has nothing left to show
    }
  }

 protected:
  void Paint(std::string_view caption, std::string_view text) override {
    std::string line(caption);
    if (!text.empty()) line += ": " + std::string(text);
    host_.Progress(line);
  }
  void Erase() override { host_.Progress(std::nullopt); }
  void Tell(std::string_view summary) override { host_.Notice(summary); }

 private:
  const CalcCallbacks& host_;
};

}  // namespace

CalcUserInterface::CalcUserInterface(const CalcCallbacks& host) : host_(host) {}

MsgAnswer CalcUserInterface::MsgBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                                    std::string_view title) {
  return host_.MessageBox(prompt, buttons, icon, title);
}

void CalcUserInterface::ShowModal(Form& form) {
  std::deque<std::string> pending;
  bool closed = false;
  std::ostringstream notices;
  auto next = [&](const Form& shown) -> std::optional<std::string> {
    if (auto standing = StandingAnswer(shown)) return standing;
    while (pending.empty() && !closed) {
      auto actions = host_.FormActions(shown);
      if (!actions)
        closed = true;
      else if (actions->empty())
        closed = true;  // nothing done at all: as good as closed
      else
        pending.assign(actions->begin(), actions->end());
    }
    if (pending.empty()) return std::nullopt;
    std::string action = std::move(pending.front());
    pending.pop_front();
    return action;
  };
  DialogHost::Run(form, next, notices, false);
  // A dialog that only informs is told as a notice, not shown; a dialog the user closed needs no
  // word about it.
  if (form.InformsOnly()) {
    std::string told = notices.str();
    if (!told.empty() && told.back() == '\n') told.pop_back();
    host_.Notice(told);
  }
}

std::unique_ptr<ProgressBar> CalcUserInterface::NewProgressBar() {
  return std::make_unique<CalcProgressBar>(host_);
}

void CalcUserInterface::Notice(std::string_view text) { host_.Notice(text); }

}  // namespace orv
