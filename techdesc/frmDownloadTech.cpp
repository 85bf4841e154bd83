#include "techdesc/frmDownloadTech.h"

#include "shell/outside/db/DataConnection.h"

namespace orv {

frmDownloadTech::frmDownloadTech()
    : Form("frmDownloadTech", "Select Ranges For Download"),
      Frame1_(AddFrame("Frame1", "")),
      chkSelectRngs_(AddCheckBox("chkSelectRngs", "Download Pages Listed On Sheet", "Frame1")) {
  auto& ok = AddCommandButton("cmdOk", "OK");
  ok.ToolTipText = "Close";
  ok.Click = [this] {
    SetOKSelected(true);
    those_on_sheet_ = chkSelectRngs_.Value;
    Hide();
  };
  auto& cancel = AddCommandButton("cmdCancel", "Cancel");
  cancel.ToolTipText = "Cancel Changes";
  cancel.Click = [this] {
    SetOKSelected(false);
    Hide();
  };
}

const std::shared_ptr<DataConnection>& frmDownloadTech::SageConnection() {
  if (!connection_) connection_ = std::make_shared<DataConnection>();
  return connection_;
}

}  // namespace orv
