#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "shell/outside/xlsx/Range.h"

namespace orv {

class Workbook;
class Worksheet;

// The spreadsheet program as the components see it: the workbook, its active sheet and the
// active cell. For a workbook file both come from the file's saved view unless the host overrides
// them (`--sheet`, `--cell`); a host with a live document answers them itself.
class Application {
 public:
  explicit Application(std::shared_ptr<Workbook> workbook) : workbook_(std::move(workbook)) {}
  virtual ~Application() = default;

  // nullptr for a live document that is not a workbook file.
  const std::shared_ptr<Workbook>& ActiveWorkbook() const { return workbook_; }
  virtual std::shared_ptr<Worksheet> ActiveSheet() const;
  virtual Range ActiveCell() const;
  // Activates the named sheet (raising the workbook's SheetActivate); AppError when missing.
  void SetActiveSheet(std::string_view name);
  // "B5" on the active sheet; AppError for a bad address.
  void SetActiveCell(std::string_view address);

 protected:
  Application() = default;

 private:
  std::shared_ptr<Workbook> workbook_;
  std::optional<Range> active_cell_;
};

}  // namespace orv
