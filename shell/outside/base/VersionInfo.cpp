#include "shell/outside/base/VersionInfo.h"

namespace orv {

int VersionInfo::Major() { return ORV_VERSION_MAJOR; }
int VersionInfo::Minor() { return ORV_VERSION_MINOR; }
int VersionInfo::Revision() { return ORV_VERSION_PATCH; }

std::string VersionInfo::Number() {
  return std::to_string(Major()) + "." + std::to_string(Minor()) + "." + std::to_string(Revision());
}

std::string VersionInfo::DataLibrary() { return "OrvData: " + Number(); }
std::string VersionInfo::GeneralLibrary() { return "OrvGeneral: " + Number(); }

}  // namespace orv
