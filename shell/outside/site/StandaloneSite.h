#pragma once

#include <deque>
#include <memory>
#include <string>

#include "shell/outside/site/HostSite.h"

namespace orv {

// The site of a process with a real terminal or none: questions go to the person at the terminal
// when standard input is one, else to the scripted answers (none: every question is refused).
class StandaloneSite {
 public:
  static std::shared_ptr<HostSite> Make(std::deque<std::string> answers = {});
};

}  // namespace orv
