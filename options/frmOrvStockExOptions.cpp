#include "options/frmOrvStockExOptions.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/VbError.h"

#include "options/clsOrvStockExOptions.h"

namespace orv {

frmOrvStockExOptions::frmOrvStockExOptions()
    : Form("frmOrvStockExOptions", "Stock Gridline Options"),
      chkIgnoreBlankCells_(AddCheckBox("chkIgnoreBlankCells", "Ignore Blank Cells ?")),
      chkShowStockDwnload_(
          AddCheckBox("chkShowStockDwnload", "Show Dropdowns in Stock Download Screen")),
      Frame1_(AddFrame("Frame1", "Allow update of existing records")),
      optAllowWidWarn_(
          AddOptionButton("optAllowWidWarn", "Allow without warning ", "policy", "Frame1")),
      optWarn_(AddOptionButton("optWarn", "Warn", "policy", "Frame1")),
      optDoNotAllow_(AddOptionButton("optDoNotAllow", "Do not allow", "policy", "Frame1")),
      cmdOK_(AddCommandButton("cmdOK", "OK")),
      cmdCancel_(AddCommandButton("cmdCancel", "Cancel")) {
  cmdOK_.ToolTipText = "Close";
  cmdOK_.Click = [this] { cmdOK_Click(); };
  cmdCancel_.ToolTipText = "Cancel Changes";
  cmdCancel_.Click = [this] {
    SetOKSelected(false);
    Hide();
  };
}

// Setting an option button on chooses it and clears the others of its group; setting it off
// clears it alone. So of two policies stored as on, the later one set is shown.
void frmOrvStockExOptions::SetPolicy(OptionButton& button, bool value) {
  if (value)
    ChooseOption(button.Name());
  else
    button.Value = false;
}

void frmOrvStockExOptions::Form_Load() {
  SetOKSelected(false);
  if (!options_)
    throw AppError(VbError::kObjectNotSet, "", "The options dialog was given no options to show");
  chkIgnoreBlankCells_.Value = options_->OnlyIgnoreBlankCells();
  chkShowStockDwnload_.Value = options_->ShowDropdowns();
  SetPolicy(optDoNotAllow_, options_->DoNotAllow());
  SetPolicy(optWarn_, options_->Warn());
  SetPolicy(optAllowWidWarn_, options_->AllowWOutWarn());
}

void frmOrvStockExOptions::cmdOK_Click() {
  SetOKSelected(true);
  options_->SetOnlyIgnoreBlankCells(chkIgnoreBlankCells_.Value);
  options_->SetShowDropdowns(chkShowStockDwnload_.Value);
  options_->SetDoNotAllow(optDoNotAllow_.Value);
  options_->SetWarn(optWarn_.Value);
  options_->SetAllowWOutWarn(optAllowWidWarn_.Value);
  Hide();
}

}  // namespace orv
