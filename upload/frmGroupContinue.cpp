#include "upload/frmGroupContinue.h"

namespace orv {

frmGroupContinue::frmGroupContinue()
    : Form("frmGroupContinue", "Product Group"), label1_(AddLabel("Label1", "")) {
  AddLabel("Label2", "Continue ?");
  AddFrame("Frame1", "");
  auto answer = [this](bool go_on, bool all) {
    continue_ = go_on;
    yes_to_all_ = all;
    Hide();
  };
  AddCommandButton("cmdBtnYes", "Yes").Click = [answer] { answer(true, false); };
  AddCommandButton("cmdBtnYesToAll", "Yes To All").Click = [answer] { answer(true, true); };
  AddCommandButton("cmdBtnCancel", "Cancel").Click = [answer] { answer(false, false); };
}

void frmGroupContinue::Form_Load() {
  label1_.Caption = "Warning: Product  " + GroupLabel + " not on file.";
}

void frmGroupContinue::QueryUnload(bool& cancel) {
  cancel = false;
  continue_ = false;
  yes_to_all_ = false;
}

}  // namespace orv
