#include "shell/outside/xlsx/Worksheet.h"

#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/WorkbookError.h"

namespace orv {

Range Worksheet::Cells(std::uint32_t row, std::uint32_t column) {
  return Range(shared_from_this(), row, column, row, column);
}

Range Worksheet::At(std::string_view address) {
  auto colon = address.find(':');
  auto first = CellAddress::Parse(address.substr(0, colon));
  auto last =
      colon == std::string_view::npos ? first : CellAddress::Parse(address.substr(colon + 1));
  if (!first || !last) {
    throw WorkbookError(document_->Title(), "'" + std::string(address) + "' is not a cell address");
  }
  return Range(shared_from_this(), std::min(first->row, last->row),
               std::min(first->column, last->column), std::max(first->row, last->row),
               std::max(first->column, last->column));
}

Range Worksheet::SavedActiveCell() {
  if (auto cell = CellAddress::Parse(document_->CursorCell(index_)))
    return Cells(cell->row, cell->column);
  return Cells(1, 1);
}

}  // namespace orv
