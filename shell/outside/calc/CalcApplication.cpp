#include "shell/outside/calc/CalcApplication.h"

#include "shell/outside/calc/CalcCallbacks.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Worksheet.h"

namespace orv {

CalcApplication::CalcApplication(const CalcCallbacks& host, std::shared_ptr<SheetDocument> document)
    : host_(host), document_(std::move(document)) {}

std::shared_ptr<Worksheet> CalcApplication::ActiveSheet() const {
  return std::make_shared<Worksheet>(document_, static_cast<std::size_t>(host_.ActiveCell().sheet));
}

Range CalcApplication::ActiveCell() const {
  auto cell = host_.ActiveCell();
  auto sheet = std::make_shared<Worksheet>(document_, static_cast<std::size_t>(cell.sheet));
  return sheet->Cells(static_cast<std::uint32_t>(cell.first_row),
                      static_cast<std::uint32_t>(cell.first_column));
}

}  // namespace orv
