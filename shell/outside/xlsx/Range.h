#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/outside/base/Variant.h"
#include "shell/outside/xlsx/CellValue.h"

namespace orv {

class Worksheet;

// A rectangle of cells on one sheet. Value and Text are those of its first cell.
class Range {
 public:
  Range(std::shared_ptr<Worksheet> sheet, std::uint32_t first_row, std::uint32_t first_column,
        std::uint32_t last_row, std::uint32_t last_column);

  Worksheet& Sheet() const { return *sheet_; }
  const std::shared_ptr<Worksheet>& SheetPointer() const { return sheet_; }
  std::uint32_t Row() const { return first_row_; }
  std::uint32_t Column() const { return first_column_; }
  std::uint32_t LastRow() const { return last_row_; }
  std::uint32_t LastColumn() const { return last_column_; }
  std::uint32_t RowCount() const { return last_row_ - first_row_ + 1; }
  std::uint32_t ColumnCount() const { return last_column_ - first_column_ + 1; }
  // "$B$5" or "$B$2:$B$10".
  std::string Address() const;

  // Empty, text, number, boolean, or a date for a number in a date-formatted cell.
  Variant Value() const;
  void SetValue(const Variant& value) const;
  // The text shown for the cell: numbers in their shortest form, dates as dd/mm/yyyy.
  std::string Text() const;

  // The cell at `row`, `column` counted from 1 within this range.
  Range Cells(std::uint32_t row, std::uint32_t column) const;
  bool Contains(const Range& cell) const;
  // Selects the rows of this range across the sheet, the cursor at the start of its first row
  // (for a file, in the saved view, so that the user sees it on opening the file).
  void SelectEntireRow() const;

  // A value as a cell stores it (an empty text clears the cell; a date becomes a date serial).
  static CellValue CellFromVariant(const Variant& value, bool date1904);
  // The text shown for a stored cell.
  static std::string TextOf(const CellValue& cell, bool date1904);

 private:
  std::shared_ptr<Worksheet> sheet_;
  std::uint32_t first_row_, first_column_, last_row_, last_column_;
};

}  // namespace orv
