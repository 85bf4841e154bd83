#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "shell/outside/site/UserProfile.h"

namespace orv {

// Where the host finds the user's profile, decided once per run and then lent to the components
// through their site. The only reader of the environment in the program:
//
//   folder             $ORVSTOCK_CONFIG_DIR, else $XDG_CONFIG_HOME/orvstock, else
//                      $HOME/.config/orvstock, else .orvstock in the working folder
//   companies file     --config FILE, else $ORVSTOCK_COMPANIES, else companies.toml in the folder
//   settings file      $ORVSTOCK_SETTINGS, else settings.toml in the folder
//   registration file  registration.toml in the folder
//   desktop            $DISPLAY or $WAYLAND_DISPLAY is set (help pages open in the desktop's
//   viewer)
//
// A variable set to the empty string counts as unset.
class HostProfile {
 public:
  // The value of an environment variable; empty when unset.
  using Environment = std::function<std::string(const char* name)>;

  static UserProfile Resolve(const Environment& environment,
                             const std::filesystem::path& companies_option);
  // Resolve over this process's environment.
  static UserProfile FromProcess(const std::filesystem::path& companies_option);
};

}  // namespace orv
