#pragma once

#include <filesystem>

namespace orv {

// Where per-user files live: $ORVSTOCK_CONFIG_DIR when set, else $XDG_CONFIG_HOME/orvstock, else
// ~/.config/orvstock. Tests point ORVSTOCK_CONFIG_DIR at a temporary folder.
class UserPaths {
 public:
  static std::filesystem::path ConfigDir();
  // The component registrations (ProgID and class identifiers, the library that serves them).
  static std::filesystem::path RegistrationFile();
};

}  // namespace orv
