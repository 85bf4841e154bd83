#include "shell/outside/ui/UserInterface.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "shell/outside/ui/Form.h"

namespace orv {
namespace {

bool Launch(const std::filesystem::path& program, const std::filesystem::path& page) {
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::execl(program.c_str(), program.c_str(), page.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void UserInterface::ShowHelp(const std::filesystem::path& page, bool desktop) {
  const std::filesystem::path opener = "/usr/bin/xdg-open";
  if (desktop && std::filesystem::exists(opener) && Launch(opener, page)) return;
  Notice("Help: " + page.string());
}

void UserInterface::ShowAbout(std::string_view version, std::string_view program,
                              std::string_view comments) {
  std::string text(version);
  text += "\n";
  text += program;
  if (!comments.empty()) {
    text += "\n";
    text += comments;
  }
  MsgBox(text, MsgButtons::kOK, MsgIcon::kInformation, "About " + std::string(program));
}

void UserInterface::SetStandingAnswer(std::string form, std::string action) {
  standing_answers_[std::move(form)] = std::move(action);
}

std::optional<std::string> UserInterface::StandingAnswer(const Form& form) const {
  auto found = standing_answers_.find(form.Name());
  if (found == standing_answers_.end()) return std::nullopt;
  return found->second;
}

int UserInterface::Choose(std::string_view name, std::string_view prompt,
                          const std::vector<std::string>& buttons, std::string_view title) {
  class Question : public Form {
   public:
    Question(std::string_view name, std::string_view prompt,
             const std::vector<std::string>& buttons, std::string_view title)
        : Form(std::string(name), std::string(title)) {
      AddLabel("Prompt", std::string(prompt));
      for (std::size_t i = 0; i < buttons.size(); ++i) {
        std::string button;
        for (char c : buttons[i])
          if (c != ' ') button += c;
        AddCommandButton(button, buttons[i]).Click = [this, i] {
          chosen = static_cast<int>(i) + 1;
          Hide();
        };
      }
    }
    int chosen = 0;
  } question(name, prompt, buttons, title);
  ShowModal(question);
  return question.chosen;
}

std::string UserInterface::RecordText(std::string_view title,
                                      const std::vector<RecordLine>& lines) {
  std::size_t width = 0;
  for (const auto& line : lines) width = std::max(width, line.first.size());
  std::string text(title);
  text += '\n';
  for (const auto& [caption, value] : lines)
    text += "  " + caption + ": " + std::string(width - caption.size(), ' ') + value + '\n';
  return text;
}

void UserInterface::ShowRecord(std::string_view title, const std::vector<RecordLine>& lines) {
  std::string text = RecordText(title, lines);
  text.erase(0, text.find('\n') + 1);
  MsgBox(text, MsgButtons::kOK, MsgIcon::kInformation, title);
}

}  // namespace orv
