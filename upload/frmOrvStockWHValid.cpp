#include "upload/frmOrvStockWHValid.h"

namespace orv {

frmOrvStockWHValid::frmOrvStockWHValid()
    : Form("frmOrvStockWHValid", "Invalid Row"),
      WHMsg_(AddLabel("WHMsg", "")),
      cmdOk_(AddCommandButton("cmdOk", "OK")) {
  cmdOk_.ToolTipText = "Close";
  cmdOk_.Click = [this] {
    SetOKSelected(true);
    Hide();
  };
}

void frmOrvStockWHValid::Form_Load() {
  WHMsg_.Caption = "Invalid Row , " + MsgDisp + "  Not Found In Database";
}

void frmOrvStockWHValid::QueryUnload(bool& cancel) {
  cancel = false;
  SetOKSelected(false);
}

}  // namespace orv
