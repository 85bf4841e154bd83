#pragma once

#include <deque>
#include <memory>
#include <string>

#include "shell/outside/site/HostSite.h"

namespace orv {

// The site of a process with a real terminal or none: questions go to the person at the terminal
// when standard input is one, else to the scripted answers (none: every question is refused).
//
// The profile is always the caller's: a host passes the one it resolved; a component that was
// lent no site passes UserProfile{} (no files), so that it never works on files it was not given.
class StandaloneSite {
 public:
  static std::shared_ptr<HostSite> Make(UserProfile profile, std::deque<std::string> answers = {});
};

}  // namespace orv
