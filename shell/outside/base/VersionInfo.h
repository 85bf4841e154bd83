#pragma once

#include <string>

namespace orv {

// Version texts of this library and of the data and general layers it is built on.
class VersionInfo {
 public:
  static int Major();
  static int Minor();
  static int Revision();
  // "1.0.12"
  static std::string Number();
  static std::string DataLibrary();
  static std::string GeneralLibrary();
};

}  // namespace orv
