#include "shell/outside/xlsx/RangeNames.h"

#include <algorithm>
#include <cctype>

namespace orv {

std::vector<std::string> RangeNames::StoredNames(std::string_view range_name) {
  std::vector<std::string> names{std::string(range_name)};
  std::string portable(range_name);
  for (char& c : portable) {
    auto byte = static_cast<unsigned char>(c);
    if (!std::isalnum(byte) && c != '_' && c != '.' && c != '\\' && byte < 0x80) c = '_';
  }
  if (portable != names.front()) names.push_back(portable);
  return names;
}

bool RangeNames::Same(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace orv
