#include "upload/frmPostConfirm.h"

namespace orv {

frmPostConfirm::frmPostConfirm() : Form("frmPostConfirm", "Post Data To Sage") {
  AddFrame("fraConfirm", "");
  AddLabel("Label1", "Post Stock to Sage?", "fraConfirm");
  auto& ok = AddCommandButton("cmdOk", "OK");
  ok.ToolTipText = "Post";
  ok.Click = [this] {
    SetOKSelected(true);
    Hide();
  };
  auto& cancel = AddCommandButton("cmdCancel", "Cancel");
  cancel.ToolTipText = "Do Not Post";
  cancel.Click = [this] {
    SetOKSelected(false);
    Hide();
  };
}

void frmPostConfirm::QueryUnload(bool& cancel) {
  cancel = false;
  SetOKSelected(false);
}

}  // namespace orv
