#pragma once

#include <memory>
#include <string>

#include "shell/outside/ui/Form.h"

namespace orv {

class DataConnection;
class clsOrvStockExOptions;

// The download dialog: either refresh the rows already on the sheet, or pick a warehouse and a
// product range (typed, or from lists read from the database) and where the records go.
class frmExtractStock : public Form {
 public:
  frmExtractStock();

  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);
  // The component's options, where the dialog's last choices are kept; required before it loads.
  void SetOptions(std::shared_ptr<clsOrvStockExOptions> options);

  const std::string& GetFromWH() const { return from_wh_; }
  const std::string& GetToWH() const { return to_wh_; }
  const std::string& GetFromPR() const { return from_pr_; }
  const std::string& GetToPR() const { return to_pr_; }
  bool IsSelectRngsChk() const { return select_rngs_; }
  bool ClearDownload() const { return clear_download_; }
  bool AppendBottom() const { return append_bottom_; }
  bool AppendCurrent() const { return append_current_; }
  bool Cancelled() const { return cancelled_; }

  void Form_Load() override;
  void QueryUnload(bool& cancel) override;

 private:
  void chkSelectRngs_Click();
  void opt_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void ShowEntryFrames();
  void PopulateWHStock();
  void PopulatePRStock();
  clsOrvStockExOptions& Options();

  std::shared_ptr<DataConnection> connection_;
  std::shared_ptr<clsOrvStockExOptions> options_;
  std::string from_wh_, to_wh_, from_pr_, to_pr_;
  bool select_rngs_ = false;
  bool clear_download_ = false;
  bool append_bottom_ = false;
  bool append_current_ = false;
  bool cancelled_ = true;

  CheckBox& chkSelectRngs_;
  Frame& frmRanges_;
  OptionButton& optClear_;
  OptionButton& optAppend_;
  OptionButton& optAppendCurrent_;
  Frame& frameWHText_;
  TextBox& txtWarehouseFrom_;
  TextBox& txtWarehouseTo_;
  Frame& frameProdText_;
  TextBox& txtProdFrom_;
  TextBox& txtProdTo_;
  Frame& frameWarehouse_;
  ComboBox& STWHComboStart_;
  ComboBox& STWHComboEnd_;
  Frame& frameProduct_;
  ComboBox& STPRComboStart_;
  ComboBox& STPRComboEnd_;
  CommandButton& cmdOK_;
  CommandButton& cmdCancel_;
};

}  // namespace orv
