#pragma once

#include <memory>
#include <string>

#include "shell/ComponentServices.h"
#include "shell/outside/com/ComObject.h"
#include "techdesc/_clsSTTechDescEx.h"

namespace orv {

class RangeList;
class Recordset;
class clsOrvStock;
class clsOrvStockRanges;

// The technical description component: one stock item per sheet, one page per row.
class clsSTTechDescEx final : public ComObject<_clsSTTechDescEx> {
 public:
  clsSTTechDescEx();

  HRESULT QueryInterface(const IID& iid, void** object) override;
  void SetSite(std::shared_ptr<HostSite> site) override;

  std::shared_ptr<Workbook> wkbActive() const override { return wkbActive_; }
  void putref_wkbActive(std::shared_ptr<Workbook> workbook) override;
  std::int32_t Index() const override;
  void put_Index(std::int32_t index) override;

  std::string ProgramName() const override { return "OrvStockTechDesc"; }
  std::string BrowseComponentName() override { return "OrvStockTechDescBrowse"; }
  bool AddBrowseWorkbookOpen() override { return false; }
  void SpecialBrowseCode(std::shared_ptr<Worksheet>& xlsCurrent, bool& bDelete) override;
  void SpecialShortcutCode(std::shared_ptr<Worksheet>& xlsCurrent, bool& bDelete) override;
  void About() override;
  std::string FullVersionDescription() override;
  std::string VersionDescription() override;

  bool ChangeOrvConnection() override;
  void CloseConnection() override;
  void AddRanges(Application& appCurrent) override;
  void ValidateRanges(RangeList& irList) override;
  void UploadTechnicalDescriptions() override;
  bool BrowseAvailable(Range& Active_Cell) override;
  void BrowseRanges(Range& Active_Cell) override;
  void DownloadTechnicalDescriptions() override;
  void EnterOptions() override;
  void ClearAllRanges() override;

 private:
  ~clsSTTechDescEx() override;
  HostSite& Site() { return services_.Site(); }
  RangeList& List();
  // Warehouse and product as header cells, the page and line columns, the company cell.
  void SetUpRanges();
  // Opens the company the sheet's "sage_company" cell names, else the run's company.
  void OpenConnection();

  // The download. The stock item is the business object's warehouse and product.
  void ReadStockItem();
  void DownloadThoseOnSheet();
  // Every page of the item, in page order, into the rows below `start_row` (0: from the first).
  void DownloadAllPages(std::int32_t start_row);
  // The row of the active cell in the page ranges; AppError when it is not in them.
  std::int32_t ActiveCellRow();
  // The item's pages, or only the page `page` when it is not empty.
  void OpenPages(Recordset& pages, const std::string& page);

  // The upload.
  struct UploadCheck {
    std::int32_t failed = 0;
  };
  void CheckRow(UploadCheck& check);
  // "sheet row 7 (page 003)" for the row being uploaded.
  std::string RowInWords();
  void SelectPageCell();

  ComponentServices services_;
  std::shared_ptr<clsOrvStock> m_oOrvStock;
  std::unique_ptr<clsOrvStockRanges> ranges_;
  std::shared_ptr<RangeList> range_list_;
  std::shared_ptr<Workbook> wkbActive_;
};

}  // namespace orv
