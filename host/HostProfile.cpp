#include "host/HostProfile.h"

#include <cstdlib>
#include <string>

namespace orv {

UserProfile HostProfile::FromProcess(const std::filesystem::path& companies_option) {
  return UserProfile::Resolve(
      [](const char* name) {
        const char* value = std::getenv(name);
        return std::string(value ? value : "");
      },
      companies_option);
}

}  // namespace orv
