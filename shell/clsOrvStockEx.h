#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/ComponentServices.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/Event.h"
#include "shell/outside/com/ComObject.h"

namespace orv {

class FieldSource;
class RangeList;
class SavepointGuard;
class clsOrvStock;
class clsOrvStockExOptions;
class clsOrvStockRanges;
class clsOrvStockTables;
class frmExtractStock;

// The stock component: one worksheet row per stock record, one named range per field.
class clsOrvStockEx final : public ComObject<_clsOrvStockEx> {
 public:
  clsOrvStockEx();

  HRESULT QueryInterface(const IID& iid, void** object) override;
  void SetSite(std::shared_ptr<HostSite> site) override;

  std::shared_ptr<Worksheet> m_wWrkActive() const override { return m_wWrkActive_; }
  void putref_m_wWrkActive(std::shared_ptr<Worksheet> sheet) override;
  void ShowHelpFile() override;
  std::int32_t Index() const override;
  void put_Index(std::int32_t index) override;
  bool ViewStockAvailable() const override { return view_stock_available_; }
  std::string ForceBrowseRange() const override { return force_browse_range_; }
  void put_ForceBrowseRange(std::string value) override { force_browse_range_ = std::move(value); }
  std::string BrowseListField() const override { return browse_list_field_; }
  void put_BrowseListField(std::string value) override { browse_list_field_ = std::move(value); }
  std::string OverrideBrowseSQL() const override { return override_browse_sql_; }
  void put_OverrideBrowseSQL(std::string value) override {
    override_browse_sql_ = std::move(value);
  }
  std::string OverrideBrowseColumn() const override { return override_browse_column_; }
  void put_OverrideBrowseColumn(std::string value) override {
    override_browse_column_ = std::move(value);
  }
  std::shared_ptr<Workbook> wkbActive() const override { return m_objwkbActive_; }
  void putref_wkbActive(std::shared_ptr<Workbook> workbook) override;

  std::string ProgramName() const override { return "OrvStockEx"; }
  std::string BrowseComponentName() override { return "OrvStockBrowse"; }
  bool AddBrowseWorkbookOpen() override { return false; }
  void SpecialBrowseCode(std::shared_ptr<Worksheet>& xlsCurrent, bool& bDelete) override;
  void SpecialShortcutCode(std::shared_ptr<Worksheet>& xlsCurrent, bool& bDelete) override;
  void About() override;
  std::string FullVersionDescription() override;
  std::string VersionDescription() override;

  bool ChangeOrvConnection() override;
  void CloseConnection() override;
  void AddRanges(Application& appCurrent) override;
  void UploadStock() override;
  void BrowseRanges(Range& Active_Cell) override;
  void EnterOptions() override;
  void BrowseStock(Range& Active_Cell) override;
  void ExtractStock() override;
  void ClearAllRanges() override;
  void ViewStock(Range& Active_Cell) override;
  bool BrowseAvailable(Range& Active_Cell) override;
  std::string CheckRangeExists(std::string& sPageNumber) override;

 private:
  ~clsOrvStockEx() override;
  HostSite& Site() { return services_.Site(); }
  RangeList& List();
  clsOrvStockExOptions& Options();
  clsOrvStockTables& Tables();

  // Defines the ranges; the first call that succeeds also reads the ERP version (and defines the
  // ranges of later versions). A failed read is tried again by the next call.
  void PrepareRanges();
  void OpenConnection();
  // Opens the company the workbook's "sage_company" cell names, else the run's company.
  void OpenWorkbookCompany();
  std::string SageVersion();
  // The ERP version as a number; an error that says so when it is not known.
  std::int32_t SageVersionNumber();
  void DownloadRanges(const frmExtractStock& choices);
  void SelectedRanges();
  // Copies the record into `row` of the ranges. An error names the record; a text the workbook
  // cannot hold is written repaired and named in a warning. True when a text was repaired.
  bool CopyRecordToRow(const FieldSource& record, std::int32_t row);
  // The row the download starts at, after clearing the ranges when that was chosen; nullopt when
  // the user cancelled the cleardown, which cancels the download.
  std::optional<std::int32_t> FirstRowToFill(const frmExtractStock& choices);
  std::string CellText(std::string_view name, std::int32_t row);
  // The host's search for this run, else the cell's text.
  std::string PickerSearch(const Range& cell);
  void BrowseNotAvailable();

  // The upload and its answers to the business object.
  static bool IsSilent(std::int32_t number);
  static std::string ErrorNumberText(std::int32_t number);
  std::string RowInWords();
  void SelectRow(std::int32_t index);
  void CheckRow(SavepointGuard& undo_point);
  void SettleWrites();
  void ReportCheck(std::int32_t processed);
  void AskToContinue(bool& yes_to_all, const std::string& heading, const std::string& warning,
                     bool& go_on);
  void OnProductGroupInvalid(std::string& field, std::string& label, bool& go_on);
  void OnRecordExist(bool& update);

  // What a check of an upload found.
  struct UploadCheck {
    std::int32_t adds = 0;
    std::int32_t updates = 0;
    std::int32_t failed = 0;
    std::int32_t questions = 0;
  };

  ComponentServices services_;
  std::shared_ptr<clsOrvStock> m_oOrvStock;
  std::unique_ptr<clsOrvStockRanges> ranges_;
  std::shared_ptr<RangeList> range_list_;
  std::unique_ptr<clsOrvStockTables> tables_;
  std::shared_ptr<Workbook> m_objwkbActive_;
  Event<Worksheet&>::Subscription sheet_activate_;
  std::shared_ptr<Worksheet> m_wWrkActive_;
  std::string sage_version_;
  bool prepared_ = false;
  bool view_stock_available_ = false;
  bool update_all_ = false;
  // Yes To All of the purchase G/L, stock G/L and buyer warnings: one run long.
  bool purchase_gl_all_ = false;
  bool stock_gl_all_ = false;
  bool buyer_all_ = false;
  // Yes To All of the product groups A to F: as long as the component.
  std::array<bool, 6> group_all_{};
  std::unique_ptr<UploadCheck> check_;
  std::vector<std::shared_ptr<void>> events_;
  std::string force_browse_range_;
  std::string browse_list_field_;
  std::string override_browse_sql_;
  std::string override_browse_column_;
};

}  // namespace orv
