#include "techdesc/frmTechDescOptions.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/VbError.h"

#include "options/clsOrvStockExOptions.h"

namespace orv {

frmTechDescOptions::frmTechDescOptions()
    : Form("frmTechDescOptions", "Stock Gridline Options"),
      chkIgnoreBlankCells_(AddCheckBox("chkIgnoreBlankCells", "Ignore Blank Cells ?")),
      cmdOK_(AddCommandButton("cmdOK", "OK")),
      cmdCancel_(AddCommandButton("cmdCancel", "Cancel")) {
  cmdOK_.ToolTipText = "Close";
  cmdOK_.Click = [this] {
    SetOKSelected(true);
    options_->SetOnlyIgnoreBlankCells(chkIgnoreBlankCells_.Value);
    Hide();
  };
  cmdCancel_.ToolTipText = "Cancel Changes";
  cmdCancel_.Click = [this] { Hide(); };
}

void frmTechDescOptions::Form_Load() {
  if (!options_)
    throw AppError(VbError::kObjectNotSet, "", "The options dialog was given no options to show");
  chkIgnoreBlankCells_.Value = options_->OnlyIgnoreBlankCells();
}

}  // namespace orv
