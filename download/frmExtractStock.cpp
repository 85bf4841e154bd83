#include "download/frmExtractStock.h"

#include "options/clsOrvStockExOptions.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"

namespace orv {
namespace {

std::vector<ComboBox::Row> ReadCodeList(DataConnection& connection, const std::string& sql) {
  Recordset records;
  records.Open(sql, connection.AdoConnection());
  std::vector<ComboBox::Row> rows;
  for (auto& row : records.GetRows())
    rows.push_back({row.size() > 0 ? row[0].ToText() : "", row.size() > 1 ? row[1].ToText() : ""});
  records.Close();
  return rows;
}

}  // namespace

frmExtractStock::frmExtractStock()
    : Form("frmExtractStock", "Download stock"),
      chkSelectRngs_(AddCheckBox("chkSelectRngs", "Only refresh the rows already on the sheet")),
      frmRanges_(AddFrame("frmRanges", "Where the records go")),
      optClear_(AddOptionButton("optClear", "Clear the ranges first", "placement", "frmRanges")),
      optAppend_(AddOptionButton("optAppend", "Append below the last filled row", "placement",
                                 "frmRanges")),
      optAppendCurrent_(AddOptionButton("optAppendCurrent", "Start at the active cell", "placement",
                                        "frmRanges")),
      frameWHText_(AddFrame("frameWHText", "Warehouses")),
      txtWarehouseFrom_(AddTextBox("txtWarehouseFrom", "From warehouse", "frameWHText")),
      txtWarehouseTo_(AddTextBox("txtWarehouseTo", "To warehouse", "frameWHText")),
      frameProdText_(AddFrame("frameProdText", "Products")),
      txtProdFrom_(AddTextBox("txtProdFrom", "From product", "frameProdText")),
      txtProdTo_(AddTextBox("txtProdTo", "To product", "frameProdText")),
      frameWarehouse_(AddFrame("frameWarehouse", "Warehouses")),
      STWHComboStart_(AddComboBox("STWHComboStart", "From warehouse", "frameWarehouse")),
      STWHComboEnd_(AddComboBox("STWHComboEnd", "To warehouse", "frameWarehouse")),
      frameProduct_(AddFrame("frameProduct", "Products")),
      STPRComboStart_(AddComboBox("STPRComboStart", "From product", "frameProduct")),
      STPRComboEnd_(AddComboBox("STPRComboEnd", "To product", "frameProduct")),
      cmdOK_(AddCommandButton("cmdOK", "OK")),
      cmdCancel_(AddCommandButton("cmdCancel", "Cancel")) {
  chkSelectRngs_.Click = [this] { chkSelectRngs_Click(); };
  optClear_.Click = optAppend_.Click = optAppendCurrent_.Click = [this] { opt_Click(); };
  cmdOK_.Click = [this] { cmdOK_Click(); };
  cmdCancel_.Click = [this] { cmdCancel_Click(); };
  cmdOK_.ToolTipText = "Download with these choices and remember them";
  cmdCancel_.ToolTipText = "Close without downloading";
}

const std::shared_ptr<DataConnection>& frmExtractStock::SageConnection() {
  if (!connection_) connection_ = std::make_shared<DataConnection>();
  return connection_;
}

void frmExtractStock::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  connection_ = std::move(connection);
}

void frmExtractStock::SetOptions(std::shared_ptr<clsOrvStockExOptions> options) {
  options_ = std::move(options);
}

clsOrvStockExOptions& frmExtractStock::Options() {
  if (!options_)
    throw AppError(VbError::kObjectNotSet, "", "The download dialog was given no options object");
  return *options_;
}

void frmExtractStock::Form_Load() {
  cancelled_ = true;
  Options().LoadSRFromRegistry(true);
  Options().LoadFromRegistry(true);
  SetCheck("chkSelectRngs", Options().OnlySelectedRanges());
  chkSelectRngs_Click();

  optClear_.Value = Options().ClearDownload();
  optAppend_.Value = Options().AppendDownload();
  optAppendCurrent_.Value = Options().AppendDownloadCurrent();
  if (!optClear_.Value && !optAppend_.Value && !optAppendCurrent_.Value) optClear_.Value = true;
  opt_Click();

  if (chkSelectRngs_.Value) return;
  if (Options().ShowDropdowns()) {
    STWHComboStart_.Text = Options().WHFrom();
    STWHComboEnd_.Text = Options().WHTo();
    STPRComboStart_.Text = Options().ProductFrom();
    STPRComboEnd_.Text = Options().ProductTo();
  } else {
    txtWarehouseFrom_.Text = Options().WHFromTxt();
    txtWarehouseTo_.Text = Options().WHToTxt();
    txtProdFrom_.Text = Options().ProdFromTxt();
    txtProdTo_.Text = Options().ProdToTxt();
  }
  ShowEntryFrames();
  if (Options().ShowDropdowns()) {
    PopulateWHStock();
    PopulatePRStock();
    STWHComboStart_.ColumnCaptions = STWHComboEnd_.ColumnCaptions = {"WH", "Description"};
    STPRComboStart_.ColumnCaptions = STPRComboEnd_.ColumnCaptions = {"Product", "Description"};
  }
}

void frmExtractStock::ShowEntryFrames() {
  bool lists = Options().ShowDropdowns();
  frameWarehouse_.Visible = frameProduct_.Visible = lists;
  frameWHText_.Visible = frameProdText_.Visible = !lists;
}

void frmExtractStock::chkSelectRngs_Click() {
  if (chkSelectRngs_.Value) {
    frameWarehouse_.Visible = frameProduct_.Visible = false;
    frameWHText_.Visible = frameProdText_.Visible = false;
    frmRanges_.Visible = false;
    optClear_.Visible = optAppend_.Visible = optAppendCurrent_.Visible = false;
    select_rngs_ = true;
  } else {
    select_rngs_ = false;
    frmRanges_.Visible = true;
    ShowEntryFrames();
    optClear_.Visible = optAppend_.Visible = optAppendCurrent_.Visible = true;
  }
}

void frmExtractStock::opt_Click() {
  clear_download_ = optClear_.Value;
  append_bottom_ = optAppend_.Value;
  append_current_ = optAppendCurrent_.Value;
}

void frmExtractStock::cmdOK_Click() {
  cancelled_ = false;
  bool lists = Options().ShowDropdowns();
  from_wh_ = ValueConvert::Trim(lists ? STWHComboStart_.Text : txtWarehouseFrom_.Text);
  to_wh_ = ValueConvert::Trim(lists ? STWHComboEnd_.Text : txtWarehouseTo_.Text);
  from_pr_ = ValueConvert::Trim(lists ? STPRComboStart_.Text : txtProdFrom_.Text);
  to_pr_ = ValueConvert::Trim(lists ? STPRComboEnd_.Text : txtProdTo_.Text);

  Options().SetClearDownload(clear_download_);
  Options().SetAppendDownload(append_bottom_);
  Options().SetAppendDownloadCurrent(append_current_);
  Options().SetOnlySelectedRanges(chkSelectRngs_.Value);
  if (lists) {
    Options().SetWHFrom(from_wh_);
    Options().SetWHTo(to_wh_);
    Options().SetProductFrom(from_pr_);
    Options().SetProductTo(to_pr_);
  } else {
    Options().SetWHFromTxt(from_wh_);
    Options().SetWHToTxt(to_wh_);
    Options().SetProdFromTxt(from_pr_);
    Options().SetProdToTxt(to_pr_);
  }
  Options().SaveSRToRegistry();
  SetOKSelected(true);
  Hide();
}

void frmExtractStock::cmdCancel_Click() {
  cancelled_ = true;
  Hide();
}

void frmExtractStock::QueryUnload(bool& cancel) {
  cancel = false;
  cancelled_ = true;
}

void frmExtractStock::PopulateWHStock() {
  Trap("PopulateWHStock of Form frmExtractStock", [&](int& line) {
    line = 10;
    auto rows =
        ReadCodeList(*SageConnection(), "Select warehouse,description from " +
                                            SageConnection()->TableCatalogue().Warehouses() +
                                            " order by warehouse");
    STWHComboStart_.SetArray(rows);
    STWHComboEnd_.SetArray(std::move(rows));
  });
}

void frmExtractStock::PopulatePRStock() {
  Trap("PopulatePRStock of Form frmExtractStock", [&](int& line) {
    line = 10;
    auto rows =
        ReadCodeList(*SageConnection(), "Select distinct product,description from " +
                                            SageConnection()->TableCatalogue().StockMaster() +
                                            " order by product");
    STPRComboStart_.SetArray(rows);
    STPRComboEnd_.SetArray(std::move(rows));
  });
}

}  // namespace orv
