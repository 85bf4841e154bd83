#pragma once

#include <string>
#include <string_view>

namespace orv {

// Cell text as it stands in the workbook's XML: markup characters escaped, and characters that
// XML cannot carry (control characters) written as "_xHHHH_", with a literal "_x" that looks like
// such an escape protected as "_x005F_".
class XmlText {
 public:
  // Appends `text` escaped for an attribute value or element content.
  static void AppendEscaped(std::string& out, std::string_view text);
  // Appends cell text: escaped, control characters encoded.
  static void AppendCellText(std::string& out, std::string_view text);
  // Decodes the "_xHHHH_" escapes of cell text read from the file.
  static std::string DecodeCellText(std::string_view text);
  // True when the text needs xml:space="preserve" to keep its blanks.
  static bool NeedsPreserve(std::string_view text);
};

}  // namespace orv
