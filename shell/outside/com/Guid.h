#pragma once

#include <string>

namespace orv {

// A class or interface identifier in its registry text form,
// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
struct Guid {
  std::string text;
  friend bool operator==(const Guid&, const Guid&) = default;
};

using CLSID = Guid;
using IID = Guid;

}  // namespace orv
