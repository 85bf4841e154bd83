#include "shell/outside/ui/UserInterface.h"

#include <sys/wait.h>
#include <unistd.h>

#include <string>

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

}  // namespace orv
