#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/outside/base/Variant.h"
#include "shell/outside/xlsx/CellValue.h"

namespace orv {

// How a range list reads a stored cell as the number or date a component asks for, the same for
// every document (the text is Range::TextOf). A cell that cannot be read as the asked type is an
// AppError (kCellConversionError) naming the range, the row and the text.
class CellReading {
 public:
  // Empty, or a text of blanks only: what the number and date readings take for no value.
  static bool IsBlank(const CellValue& cell);
  // A number, or a text that reads whole as a number (blanks and a leading '+' allowed).
  static double Number(const CellValue& cell, std::string_view name, std::int32_t row);
  // A number in a date-formatted cell, or a text that reads as a date.
  static OleDate Date(const CellValue& cell, bool date1904, std::string_view name,
                      std::int32_t row);
};

}  // namespace orv
