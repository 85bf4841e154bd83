#pragma once

#include <string>
#include <string_view>

namespace orv {

// Cell text as it stands in the workbook's XML: markup characters escaped, and characters that
// XML cannot carry (control characters) written as "_xHHHH_", with a literal "_x" that looks like
// such an escape protected as "_x005F_".
//
// Text is UTF-8. Whatever cannot become XML 1.0 text at all (an ill-formed UTF-8 sequence, an
// encoded surrogate, the noncharacters U+FFFE and U+FFFF) is written as U+FFFD, one for each
// maximal ill-formed subpart as Unicode recommends: what is written is always well-formed XML.
class XmlText {
 public:
  // Appends `text` escaped for an attribute value or element content; control characters other
  // than tab, line feed and carriage return become U+FFFD.
  static void AppendEscaped(std::string& out, std::string_view text);
  // Appends cell text: escaped, control characters encoded.
  static void AppendCellText(std::string& out, std::string_view text);
  // True when AppendCellText keeps every character of `text`.
  static bool IsCellText(std::string_view text);
  // `text` with U+FFFD where AppendCellText would put it.
  static std::string Repaired(std::string_view text);
  // Decodes the "_xHHHH_" escapes of cell text read from the file.
  static std::string DecodeCellText(std::string_view text);
  // True when the text needs xml:space="preserve" to keep its blanks.
  static bool NeedsPreserve(std::string_view text);
};

}  // namespace orv
