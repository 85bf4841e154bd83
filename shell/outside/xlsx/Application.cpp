#include "shell/outside/xlsx/Application.h"

#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"

namespace orv {

std::shared_ptr<Worksheet> Application::ActiveSheet() const {
  if (!workbook_)
    throw AppError(VbError::kObjectNotSet, "", "The spreadsheet program has no workbook open");
  return workbook_->ActiveSheet();
}

Range Application::ActiveCell() const {
  auto sheet = ActiveSheet();
  if (active_cell_ && active_cell_->Sheet().Index() == sheet->Index()) return *active_cell_;
  return sheet->SavedActiveCell();
}

void Application::SetActiveSheet(std::string_view name) {
  if (!workbook_)
    throw AppError(VbError::kObjectNotSet, "", "The spreadsheet program has no workbook open");
  auto sheet = workbook_->SheetNamed(name);
  if (!sheet) {
    throw WorkbookError(workbook_->FullName().string(),
                        "no sheet named '" + std::string(name) + "'");
  }
  workbook_->ActivateSheet(*sheet);
}

void Application::SetActiveCell(std::string_view address) {
  auto cell = ActiveSheet()->At(address);
  active_cell_ = cell.Cells(1, 1);
}

}  // namespace orv
