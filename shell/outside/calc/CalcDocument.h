#pragma once

#include <map>
#include <memory>
#include <string>

#include "shell/outside/xlsx/SheetDocument.h"

namespace orv {

class CalcCallbacks;
class CalcCells;

// The document a spreadsheet program holds open, as worksheets and ranges reach it: cells through
// CalcCells (so that they agree with the range list and reach the document when the action
// ends), the cursor and the selection through the host at once.
class CalcDocument : public SheetDocument {
 public:
  CalcDocument(const CalcCallbacks& host, std::shared_ptr<CalcCells> cells);

  std::string Title() const override;
  const std::string& SheetName(std::size_t sheet) const override;
  CellValue Cell(std::size_t sheet, std::uint32_t row, std::uint32_t column) override;
  void SetCell(std::size_t sheet, std::uint32_t row, std::uint32_t column,
               const CellValue& value) override;
  bool Date1904() const override;
  std::string CursorCell(std::size_t sheet) override;
  void SelectRows(std::size_t sheet, std::uint32_t first_row, std::uint32_t last_row) override;

 private:
  const CalcCallbacks& host_;
  std::shared_ptr<CalcCells> cells_;
  mutable std::map<std::size_t, std::string> sheet_names_;
};

}  // namespace orv
