#include "shell/outside/calc/CalcDocument.h"

#include "shell/outside/calc/CalcCallbacks.h"
#include "shell/outside/calc/CalcCells.h"
#include "shell/outside/xlsx/CellAddress.h"

namespace orv {
namespace {

std::int32_t Index(std::size_t value) { return static_cast<std::int32_t>(value); }

}  // namespace

CalcDocument::CalcDocument(const CalcCallbacks& host, std::shared_ptr<CalcCells> cells)
    : host_(host), cells_(std::move(cells)) {}

std::string CalcDocument::Title() const {
  const char* title = host_.Host().title;
  return title && *title ? title : "the open document";
}

const std::string& CalcDocument::SheetName(std::size_t sheet) const {
  auto known = sheet_names_.find(sheet);
  if (known == sheet_names_.end())
    known = sheet_names_.emplace(sheet, host_.SheetName(Index(sheet))).first;
  return known->second;
}

CellValue CalcDocument::Cell(std::size_t sheet, std::uint32_t row, std::uint32_t column) {
  auto r = Index(row);
  auto c = Index(column);
  return cells_->Get({Index(sheet), r, c, r, c}, r);
}

void CalcDocument::SetCell(std::size_t sheet, std::uint32_t row, std::uint32_t column,
                           const CellValue& value) {
  auto r = Index(row);
  auto c = Index(column);
  cells_->Set({Index(sheet), r, c, r, c}, r, value);
}

bool CalcDocument::Date1904() const { return host_.Date1904(); }

std::string CalcDocument::CursorCell(std::size_t sheet) {
  auto cell = host_.ActiveCell();
  if (cell.sheet != Index(sheet)) return {};
  return CellAddress{static_cast<std::uint32_t>(cell.first_row),
                     static_cast<std::uint32_t>(cell.first_column)}
      .ToString();
}

void CalcDocument::SelectRows(std::size_t sheet, std::uint32_t first_row, std::uint32_t last_row) {
  host_.SelectRows(Index(sheet), Index(first_row), Index(last_row));
}

}  // namespace orv
