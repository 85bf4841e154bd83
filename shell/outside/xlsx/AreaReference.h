#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

// The cells a defined name stands for: one rectangle on one sheet of this workbook.
struct AreaReference {
  std::string sheet;
  std::uint32_t first_row = 0, first_column = 0, last_row = 0, last_column = 0;

  // Parses a defined name's formula ("Sheet1!$B$2:$B$501", "'My Sheet'!$A$1", "Sheet1!$B:$B").
  // Throws a WorkbookError at `where` naming `name` and what is wrong: a reference to another
  // workbook, a deleted sheet or area (#REF!), several areas, several sheets, or no reference.
  static AreaReference Parse(std::string_view formula, const std::string& where,
                             std::string_view name);

  std::uint32_t Rows() const { return last_row - first_row + 1; }
  std::uint32_t Columns() const { return last_column - first_column + 1; }
  // The formula of this area ("'My Sheet'!$B$2:$B$501").
  std::string ToFormula() const;
  static std::string QuoteSheet(std::string_view sheet);
};

}  // namespace orv
