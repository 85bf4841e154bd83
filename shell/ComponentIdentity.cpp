#include "shell/ComponentIdentity.h"

#include "shell/outside/VersionInfo.h"

namespace orv {

std::string ComponentIdentity::VersionDescription() {
  return "OrvStockExcel: " + VersionInfo::Number();
}

std::string ComponentIdentity::FullVersionDescription(std::string_view business_object) {
  return "OrvStockExcel:" + VersionInfo::Number() + "\r\n" + std::string(business_object) + "\r\n" +
         VersionInfo::DataLibrary() + "\r\n" + VersionInfo::GeneralLibrary();
}

AppError ComponentIdentity::NotAvailable(std::string_view member) {
  // 445: "Object doesn't support this action".
  return AppError(445, "", std::string(member) + " is not available yet");
}

}  // namespace orv
