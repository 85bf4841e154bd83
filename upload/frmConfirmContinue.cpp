#include "upload/frmConfirmContinue.h"

namespace orv {

frmConfirmContinue::frmConfirmContinue()
    : Form("frmConfirmContinue", ""),
      label1_(AddLabel("Label1", "")),
      label2_(AddLabel("Label2", "")) {
  auto answer = [this](bool yes, bool all) {
    yes_to_this_ = yes;
    yes_to_all_ = all;
    Hide();
  };
  auto& yes = AddCommandButton("cmdBtnYes", "Yes");
  yes.ToolTipText = "Close";
  yes.Click = [answer] { answer(true, false); };
  auto& all = AddCommandButton("cmdYesToAll", "Yes To All");
  all.ToolTipText = "Close";
  all.Click = [answer] { answer(true, true); };
  auto& cancel = AddCommandButton("cmdBtnCancel", "Cancel");
  cancel.ToolTipText = "Cancel Changes";
  cancel.Click = [answer] { answer(false, false); };
}

void frmConfirmContinue::Form_Load() {
  label1_.Caption = Caption1;
  label2_.Caption = Caption2;
  Caption = Heading;
  yes_to_this_ = false;
  yes_to_all_ = false;
}

void frmConfirmContinue::QueryUnload(bool& cancel) {
  cancel = false;
  yes_to_this_ = false;
  yes_to_all_ = false;
}

}  // namespace orv
