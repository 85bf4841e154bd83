#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/outside/base/Variant.h"

namespace orv {

// Dates between the workbook's serial numbers and OLE dates, and dates typed as text.
class CellDates {
 public:
  // A workbook serial (1900 or 1904 system, with the 1900 system's phantom 29 February) as an
  // OLE date, and back.
  static OleDate FromSerial(double serial, bool date1904);
  static double ToSerial(OleDate date, bool date1904);
  // "dd/mm/yyyy" (day first) or "yyyy-mm-dd", either optionally followed by a time. A two-digit
  // year is refused, never guessed. On failure `problem` says why.
  static std::optional<OleDate> ParseText(std::string_view text, std::string& problem);
  static OleDate FromCivil(int year, int month, int day);
};

}  // namespace orv
