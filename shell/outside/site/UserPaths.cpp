#include "shell/outside/site/UserPaths.h"

#include <cstdlib>

namespace orv {
namespace {

std::filesystem::path FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

std::filesystem::path UserPaths::ConfigDir() {
  if (auto dir = FromEnvironment("ORVSTOCK_CONFIG_DIR"); !dir.empty()) return dir;
  if (auto dir = FromEnvironment("XDG_CONFIG_HOME"); !dir.empty()) return dir / "orvstock";
  if (auto home = FromEnvironment("HOME"); !home.empty()) return home / ".config" / "orvstock";
  return std::filesystem::current_path() / ".orvstock";
}

std::filesystem::path UserPaths::RegistrationFile() { return ConfigDir() / "registration.toml"; }

}  // namespace orv
