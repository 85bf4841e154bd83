#include "shell/outside/site/StandaloneSite.h"

#include <unistd.h>

#include <iostream>

#include "shell/outside/ui/ScriptedUI.h"
#include "shell/outside/ui/TerminalUI.h"

namespace orv {

std::shared_ptr<HostSite> StandaloneSite::Make(UserProfile profile,
                                               std::deque<std::string> answers) {
  bool live_progress = ::isatty(STDERR_FILENO) == 1;
  std::shared_ptr<UserInterface> ui;
  if (answers.empty() && ::isatty(STDIN_FILENO) == 1)
    ui = std::make_shared<TerminalUI>(std::cin, std::cerr, std::cout, live_progress);
  else
    ui = std::make_shared<ScriptedUI>(std::move(answers), std::cerr, std::cout, live_progress);
  return HostSite::Make(std::move(ui), std::move(profile));
}

}  // namespace orv
