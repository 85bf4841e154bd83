#include "shell/outside/site/UserProfile.h"

#include <string>

namespace orv {

UserProfile UserProfile::InFolder(const std::filesystem::path& folder, bool desktop) {
  UserProfile profile;
  profile.companies_file = folder / "companies.toml";
  profile.settings_file = folder / "settings.toml";
  profile.registration_file = folder / "registration.toml";
  profile.desktop = desktop;
  return profile;
}

const std::filesystem::path& UserProfile::Require(const std::filesystem::path& file,
                                                  std::string_view what) {
  if (file.empty())
    throw AppError(kNoProfile, "",
                   "No " + std::string(what) +
                       " to use: this component was given no user profile (its host lent it no "
                       "site)");
  return file;
}

UserProfile UserProfile::Resolve(const Environment& environment,
                                 const std::filesystem::path& companies_option) {
  std::filesystem::path folder;
  if (auto dir = environment("ORVSTOCK_CONFIG_DIR"); !dir.empty())
    folder = dir;
  else if (auto config = environment("XDG_CONFIG_HOME"); !config.empty())
    folder = std::filesystem::path(config) / "orvstock";
  else if (auto home = environment("HOME"); !home.empty())
    folder = std::filesystem::path(home) / ".config" / "orvstock";
  else
    folder = std::filesystem::current_path() / ".orvstock";

  const bool desktop = !environment("DISPLAY").empty() || !environment("WAYLAND_DISPLAY").empty();
  UserProfile profile = InFolder(folder, desktop);
  if (!companies_option.empty())
    profile.companies_file = companies_option;
  else if (auto companies = environment("ORVSTOCK_COMPANIES"); !companies.empty())
    profile.companies_file = companies;
  if (auto settings = environment("ORVSTOCK_SETTINGS"); !settings.empty())
    profile.settings_file = settings;
  return profile;
}

}  // namespace orv
