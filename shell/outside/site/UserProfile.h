#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "shell/outside/base/AppError.h"

namespace orv {

// The per-user files and facts of the person the host runs for. The host resolves them once (from
// its options and environment) and lends them to every component through its site; nothing below
// the host reads the environment.
//
// A blank file means the run has no such file: the companies list, the settings store and the
// registry refuse to work without one (AppError kNoProfile naming the file) instead of guessing a
// place. A default-constructed profile has no files at all: that is the profile of a component
// whose host lent it no site.
struct UserProfile {
  static constexpr std::int32_t kNoProfile = vbObjectError + 7004;

  // The companies the user can connect to (CompaniesFile).
  std::filesystem::path companies_file;
  // The settings that stand in for the registry (SettingsStore).
  std::filesystem::path settings_file;
  // The component registrations (ComRegistry).
  std::filesystem::path registration_file;
  // Whether a graphical desktop is there to open help pages in.
  bool desktop = false;

  // companies.toml, settings.toml and registration.toml in `folder`.
  static UserProfile InFolder(const std::filesystem::path& folder, bool desktop = false);

  // Where a host finds its user's profile, from its environment (`environment` answers a
  // variable's value, empty when unset; a variable set to nothing counts as unset):
  //   folder             $ORVSTOCK_CONFIG_DIR, else $XDG_CONFIG_HOME/orvstock, else
  //                      $HOME/.config/orvstock, else .orvstock in the working folder
  //   companies file     `companies_option`, else $ORVSTOCK_COMPANIES, else companies.toml there
  //   settings file      $ORVSTOCK_SETTINGS, else settings.toml in the folder
  //   registration file  registration.toml in the folder
  //   desktop            $DISPLAY or $WAYLAND_DISPLAY is set
  // The host reads its environment; the library only applies this rule to what it is given.
  using Environment = std::function<std::string(const char* name)>;
  static UserProfile Resolve(const Environment& environment,
                             const std::filesystem::path& companies_option);

  // `file`, or the kNoProfile error naming `what` ("companies file") when it is blank.
  static const std::filesystem::path& Require(const std::filesystem::path& file,
                                              std::string_view what);
};

}  // namespace orv
