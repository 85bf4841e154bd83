#include "shell/outside/ui/UserInterface.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace orv {
namespace {

bool HasDesktop() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

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

void UserInterface::ShowHelp(const std::filesystem::path& page) {
  const std::filesystem::path opener = "/usr/bin/xdg-open";
  if (HasDesktop() && std::filesystem::exists(opener) && Launch(opener, page)) return;
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
