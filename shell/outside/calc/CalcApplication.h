#pragma once

#include <memory>

#include "shell/outside/xlsx/Application.h"

namespace orv {

class CalcCallbacks;
class SheetDocument;

// The spreadsheet program that holds the document open: its active sheet and cell are the ones
// the user has now. It hands no workbook file.
class CalcApplication : public Application {
 public:
  CalcApplication(const CalcCallbacks& host, std::shared_ptr<SheetDocument> document);

  std::shared_ptr<Worksheet> ActiveSheet() const override;
  Range ActiveCell() const override;

 private:
  const CalcCallbacks& host_;
  std::shared_ptr<SheetDocument> document_;
};

}  // namespace orv
