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

}  // namespace orv
