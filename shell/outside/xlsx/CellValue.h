#pragma once

#include <string>

namespace orv {

// The content of one cell as the workbook stores it. A number in a date-formatted cell is a date
// serial (`date` set).
struct CellValue {
  enum Kind : unsigned char { kEmpty, kNumber, kText, kBoolean, kError };

  Kind kind = kEmpty;
  double number = 0;  // kNumber; kBoolean as 0 or 1
  std::string text;   // kText; kError holds the error text ("#N/A")
  bool date = false;

  static CellValue Number(double value, bool is_date = false) {
    return {kNumber, value, {}, is_date};
  }
  static CellValue Text(std::string value) { return {kText, 0, std::move(value), false}; }
  static CellValue Boolean(bool value) { return {kBoolean, value ? 1.0 : 0.0, {}, false}; }
  bool IsBlank() const { return kind == kEmpty || (kind == kText && text.empty()); }

  friend bool operator==(const CellValue&, const CellValue&) = default;
};

}  // namespace orv
