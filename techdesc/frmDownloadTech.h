#pragma once

#include <memory>

#include "shell/outside/ui/Form.h"

namespace orv {

class DataConnection;

// Asks which pages of the sheet's stock item to download: only those whose numbers the sheet
// lists, or every page of the item. OK records the choice; Cancel and the close box leave
// OKSelected false, and the caller downloads nothing.
class frmDownloadTech : public Form {
 public:
  frmDownloadTech();

  // The connection the download will use; a fresh, unopened one when none was put.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection) {
    connection_ = std::move(connection);
  }

  // Read after the dialog closed with OK: the box "Download Pages Listed On Sheet" was checked.
  bool DownloadThoseOnSheet() const { return those_on_sheet_; }

 private:
  std::shared_ptr<DataConnection> connection_;
  bool those_on_sheet_ = false;
  Frame& Frame1_;
  CheckBox& chkSelectRngs_;
};

}  // namespace orv
