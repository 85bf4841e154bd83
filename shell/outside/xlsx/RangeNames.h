#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orv {

// How a catalogue range name is stored as a workbook's defined name. This is the one place that
// decides it.
//
// The names are stored exactly as the catalogue spells them, "Held?" included: LibreOffice keeps
// a question mark after the first character of a defined name through .xlsx and .ods round
// trips, and Excel's own file-format documentation lists it as allowed there. A program that
// cannot store a character outside letters, digits, '_', '.' and '\' may have saved such a name
// with '_' in its place ("Held_"), so that spelling is looked for second when reading. Defined
// names compare case-insensitively, as in the spreadsheet programs.
class RangeNames {
 public:
  // The defined names that stand for `range_name`, the one to write first.
  static std::vector<std::string> StoredNames(std::string_view range_name);
  static bool Same(std::string_view a, std::string_view b);
};

}  // namespace orv
