#include "host/HostProfile.h"

#include <cstdlib>

namespace orv {

UserProfile HostProfile::Resolve(const Environment& environment,
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
  UserProfile profile = UserProfile::InFolder(folder, desktop);
  if (!companies_option.empty())
    profile.companies_file = companies_option;
  else if (auto companies = environment("ORVSTOCK_COMPANIES"); !companies.empty())
    profile.companies_file = companies;
  if (auto settings = environment("ORVSTOCK_SETTINGS"); !settings.empty())
    profile.settings_file = settings;
  return profile;
}

UserProfile HostProfile::FromProcess(const std::filesystem::path& companies_option) {
  return Resolve(
      [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
      },
      companies_option);
}

}  // namespace orv
