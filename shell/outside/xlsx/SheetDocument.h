#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/outside/xlsx/CellValue.h"

namespace orv {

// The document behind a Worksheet and its Ranges: an .xlsx file read into memory, or a document
// that a spreadsheet program holds open and lends through its host. Sheets count from 0, rows
// and columns from 1.
class SheetDocument {
 public:
  virtual ~SheetDocument() = default;

  // Names the document in error messages (a file's path).
  virtual std::string Title() const = 0;
  virtual const std::string& SheetName(std::size_t sheet) const = 0;

  virtual CellValue Cell(std::size_t sheet, std::uint32_t row, std::uint32_t column) = 0;
  virtual void SetCell(std::size_t sheet, std::uint32_t row, std::uint32_t column,
                       const CellValue& value) = 0;
  // Dates count from 1 January 1904 instead of 1900 in this document.
  virtual bool Date1904() const = 0;

  // The cell the cursor is on in the sheet ("B5"); empty when none is known.
  virtual std::string CursorCell(std::size_t sheet) = 0;
  // Shows the sheet with rows first_row to last_row selected across, the cursor at the start of
  // the first.
  virtual void SelectRows(std::size_t sheet, std::uint32_t first_row, std::uint32_t last_row) = 0;
};

}  // namespace orv
