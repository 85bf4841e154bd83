#pragma once

#include <memory>
#include <optional>
#include <string>

#include "shell/ComponentServices.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/Event.h"
#include "shell/outside/com/ComObject.h"

namespace orv {

class FieldSource;
class RangeList;
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

  void PrepareRanges();
  void OpenConnection();
  std::string SageVersion();
  void DownloadRanges(const frmExtractStock& choices);
  void SelectedRanges();
  void CopyRecordToRow(const FieldSource& record, std::int32_t row);
  std::int32_t FirstRowToFill(const frmExtractStock& choices);

  ComponentServices services_;
  std::shared_ptr<clsOrvStock> m_oOrvStock;
  std::unique_ptr<clsOrvStockRanges> ranges_;
  std::shared_ptr<RangeList> range_list_;
  std::shared_ptr<clsOrvStockExOptions> options_;
  std::unique_ptr<clsOrvStockTables> tables_;
  std::shared_ptr<Workbook> m_objwkbActive_;
  Event<Worksheet&>::Subscription sheet_activate_;
  std::shared_ptr<Worksheet> m_wWrkActive_;
  std::string sage_version_;
  bool prepared_ = false;
  bool view_stock_available_ = false;
  bool update_all_ = false;
  std::string force_browse_range_;
  std::string browse_list_field_;
  std::string override_browse_sql_;
  std::string override_browse_column_;
};

}  // namespace orv
