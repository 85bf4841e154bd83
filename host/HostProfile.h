#pragma once

#include <filesystem>

#include "shell/outside/site/UserProfile.h"

namespace orv {

// The user's profile of an orvstock run, decided once from this process's environment (see
// UserProfile::Resolve for the rule) and then lent to the components through their site. The only
// reader of the environment in the program.
class HostProfile {
 public:
  static UserProfile FromProcess(const std::filesystem::path& companies_option);
};

}  // namespace orv
