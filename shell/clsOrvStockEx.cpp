#include "shell/clsOrvStockEx.h"

#include <fmt/format.h>

#include "download/clsOrvStockTables.h"
#include "download/frmExtractStock.h"
#include "options/clsOrvStockExOptions.h"
#include "ranges/clsOrvStockRanges.h"
#include "shell/ComponentIdentity.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/ui/ProgressBar.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/SheetBinding.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "upload/clsOrvStock.h"
#include "upload/frmOrvStockWHValid.h"

namespace orv {
namespace {

// Statements whose failure is deliberately passed over: the range definitions are re-run by the
// next action, and a definition that failed is reported there by the range it lacks.
constexpr const char* kTooManyRows =
    "Warning - too many rows of data for the size of ranges defined";

template <class Statement>
void IgnoringErrors(Statement&& statement) {
  try {
    statement();
  } catch (const AppError&) {
  }
}

}  // namespace

clsOrvStockEx::clsOrvStockEx()
    : m_oOrvStock(std::make_shared<clsOrvStock>()), ranges_(std::make_unique<clsOrvStockRanges>()) {
  ranges_->SetOrvStock(m_oOrvStock);
  ranges_->SetDateFormatter(&DataConnection::DateToText);
}

clsOrvStockEx::~clsOrvStockEx() {
  m_oOrvStock.reset();
  update_all_ = false;
}

HRESULT clsOrvStockEx::QueryInterface(const IID& iid, void** object) {
  return Answer(iid, object,
                {{IID__clsOrvStockEx, static_cast<_clsOrvStockEx*>(this)},
                 {IID_HostComponent, static_cast<HostComponent*>(this)}});
}

void clsOrvStockEx::SetSite(std::shared_ptr<HostSite> site) { services_.SetSite(std::move(site)); }

RangeList& clsOrvStockEx::List() {
  if (!range_list_) range_list_ = services_.NewRangeList(m_objwkbActive_);
  return *range_list_;
}

clsOrvStockExOptions& clsOrvStockEx::Options() {
  if (!options_) options_ = std::make_shared<clsOrvStockExOptions>();
  return *options_;
}

clsOrvStockTables& clsOrvStockEx::Tables() {
  if (!tables_) tables_ = std::make_unique<clsOrvStockTables>();
  return *tables_;
}

std::int32_t clsOrvStockEx::Index() const { return ranges_->Index(); }
void clsOrvStockEx::put_Index(std::int32_t index) { ranges_->SetIndex(index); }

void clsOrvStockEx::putref_m_wWrkActive(std::shared_ptr<Worksheet> sheet) {
  m_wWrkActive_ = std::move(sheet);
}

void clsOrvStockEx::putref_wkbActive(std::shared_ptr<Workbook> workbook) {
  m_objwkbActive_ = std::move(workbook);
  sheet_activate_ = {};
  if (m_objwkbActive_)
    sheet_activate_ = m_objwkbActive_->OnSheetActivate([this](Worksheet&) { prepared_ = false; });
  // A range list made over the previous workbook follows the new one; a host's own list stays.
  if (auto* list = dynamic_cast<XlsxRangeList*>(range_list_.get()))
    list->SetWorkbook(m_objwkbActive_);
}

void clsOrvStockEx::ShowHelpFile() {
  Site().ui->ShowHelp(std::filesystem::path(ORV_HELP_DIR) / ComponentIdentity::kHelpPage);
}

void clsOrvStockEx::About() {
  Site().ui->ShowAbout(VersionDescription(), ProgramName(), ComponentIdentity::kComments);
}

std::string clsOrvStockEx::VersionDescription() { return ComponentIdentity::VersionDescription(); }

std::string clsOrvStockEx::FullVersionDescription() {
  return ComponentIdentity::FullVersionDescription(m_oOrvStock->FullVersionDescription());
}

void clsOrvStockEx::SpecialBrowseCode(std::shared_ptr<Worksheet>&, bool& bDelete) {
  ComponentIdentity::SpecialBrowseCode(m_objwkbActive_, BrowseComponentName(), bDelete);
}

void clsOrvStockEx::SpecialShortcutCode(std::shared_ptr<Worksheet>&, bool& bDelete) {
  ComponentIdentity::SpecialShortcutCode(m_objwkbActive_, BrowseComponentName(), bDelete);
}

void clsOrvStockEx::PrepareRanges() {
  List().SetHostFlags(true, true);
  ranges_->SetIgnoreBlanks(Options().OnlyIgnoreBlankCells());
  IgnoringErrors([&] { ranges_->SetRangeList(range_list_); });
  IgnoringErrors([&] { List().SetActiveSheet(services_.ActiveSheet(m_objwkbActive_)); });
  IgnoringErrors([&] { ranges_->DefineRanges(); });
  IgnoringErrors([&] { List().EndDefinition(); });
  if (ValueConvert::IsBlank(sage_version_) && !prepared_) {
    prepared_ = true;
    OpenConnection();
    const std::int32_t version = services_.Connections().Connection()->SystemInfo().Version();
    sage_version_ = std::to_string(version);
    ranges_->SetSageVersion(static_cast<std::int16_t>(version));
    CloseConnection();
    if (version > 6) ranges_->DefineVersion7Ranges();
  }
  prepared_ = true;
}

std::string clsOrvStockEx::SageVersion() {
  if (ValueConvert::IsBlank(sage_version_)) PrepareRanges();
  return sage_version_;
}

void clsOrvStockEx::OpenConnection() {
  Trap("OpenConnection of Class Module clsOrvStockEx Line#:", [&](int& line) {
    line = 10;
    PrepareRanges();
    line = 20;
    std::optional<std::string> sheet_company;
    if (List().RangeExists("sage_company")) {
      line = 30;
      std::int32_t row = 1;
      bool present = false;
      sheet_company = List().GetCellValue("sage_company", row, present);
    }
    line = 40;
    services_.Connections().OpenForWorkbook(sheet_company);
  });
}

bool clsOrvStockEx::ChangeOrvConnection() {
  return services_.ChangeConnection("ChangeOrvConnection of Class Module  clsOrvStockEx Line#:");
}

void clsOrvStockEx::CloseConnection() { services_.Connections().Close(); }

void clsOrvStockEx::AddRanges(Application& appCurrent) {
  Site().errors->Guard("AddRanges of Class Module clsOrvStockEx", [&](int&) {
    PrepareRanges();
    List().SetRegistrationFlags(true, true);
    List().AddRanges(appCurrent, kStockProgId, true);
  });
}

void clsOrvStockEx::ClearAllRanges() {
  if (!services_.ConfirmCleardown()) return;
  PrepareRanges();
  List().SetConfirmClear(true);
  List().ClearRanges(true, 0, 0);
}

std::string clsOrvStockEx::CheckRangeExists(std::string& sPageNumber) {
  return Trap("CheckRangeExists of Class Module clsOrvStockEx Line#:", [&](int& line) {
    line = 10;
    clsOrvStockTables& tables = Tables();
    tables.IsStockeM = tables.IsStockXpgm = tables.IsSttechM = tables.IsStprexM = false;
    line = 20;
    for (const char* name :
         {"Commodity", "CountryOrig", "StatisticsInd", "ProcessInd", "SuppUnitQty"})
      if (List().RangeExists(name)) tables.IsStockeM = true;
    for (const char* name : {"AnalysisD", "AnalysisE", "AnalysisF"})
      if (List().RangeExists(name)) tables.IsStockXpgm = true;
    if (List().RangeExists("PageNumber")) tables.IsSttechM = true;
    for (int text_line = 1; text_line <= 12; ++text_line)
      if (List().RangeExists(fmt::format("TEXT{:02}", text_line))) tables.IsSttechM = true;
    if (List().RangeExists("Expense")) tables.IsStprexM = true;
    line = 30;
    tables.PageNumber = sPageNumber;
    line = 40;
    tables.SetSageConnection(services_.Connections().Connection());
    tables.SqlQuery();
    return tables.BaseSql();
  });
}

void clsOrvStockEx::ExtractStock() {
  Site().errors->Guard("ExtractStock of Class Module clsOrvStockEx Line#:", [&](int& line) {
    line = 10;
    put_Index(1);
    PrepareRanges();
    line = 20;
    SheetBinding binding;
    binding.Bind(List(), services_.ActiveSheet(m_objwkbActive_), true);
    line = 30;
    OpenConnection();
    line = 40;
    frmExtractStock dialog;
    dialog.SetSageConnection(services_.Connections().Connection());
    Options();
    dialog.SetOptions(options_);
    Site().ui->ShowModal(dialog);
    line = 50;
    if (dialog.Cancelled()) return;
    if (dialog.IsSelectRngsChk())
      SelectedRanges();
    else
      DownloadRanges(dialog);
  });
}

std::int32_t clsOrvStockEx::FirstRowToFill(const frmExtractStock& choices) {
  std::int32_t row = 1;
  if (choices.AppendBottom()) {
    // Below the last row holding both a warehouse and a product; row 1 when there is none.
    std::int32_t last_filled = 0;
    for (std::int32_t r = 1; r <= List().RangeRowCount("Product"); ++r) {
      std::int32_t at = r;
      bool present = false;
      std::string warehouse = List().GetCellValue("Warehouse", at, present);
      at = r;
      std::string product = List().GetCellValue("Product", at, present);
      if (!ValueConvert::IsBlank(warehouse) && !ValueConvert::IsBlank(product)) last_filled = r;
    }
    row = last_filled + 1;
  }
  if (choices.ClearDownload()) ClearAllRanges();
  if (choices.AppendCurrent()) {
    if (!Site().application)
      throw AppError(vbObjectError, "", "There is no active cell to start the download at");
    auto cell = Site().application->ActiveCell();
    auto position = List().RowOfCell(cell);
    if (!position.ok)
      throw AppError(vbObjectError, "",
                     "The active cell " + cell.Address() +
                         " is not in the stock ranges: choose a cell of the row to start at");
    row = position.row;
  }
  return row;
}

void clsOrvStockEx::DownloadRanges(const frmExtractStock& choices) {
  Trap("DownloadRanges of Class Module clsOrvStockEx Line#:", [&](int& line) {
    line = 10;
    clsOrvStockTables& tables = Tables();
    tables.FromWarehouse = choices.GetFromWH();
    tables.ToWarehouse = choices.GetToWH();
    tables.FromProduct = choices.GetFromPR();
    tables.ToProduct = choices.GetToPR();
    line = 20;
    std::string first_page = "001";
    std::string sql = CheckRangeExists(first_page);
    line = 30;
    auto progress = Site().ui->NewProgressBar();
    progress->Start("Starting download", true);
    line = 40;
    Recordset records;
    records.Open(sql + " order by t1.warehouse,t1.product",
                 services_.Connections().Connection()->AdoConnection());
    line = 50;
    std::int32_t row = FirstRowToFill(choices);
    const std::int32_t first_row = row;
    line = 60;
    std::int32_t written = 0;
    // Appending to a full sheet writes nothing: say so rather than end as if all was written.
    if (!records.Eof() && row > List().RangeRowCount("Product"))
      Site().ui->MsgBox(kTooManyRows, MsgButtons::kOK, MsgIcon::kExclamation, "");
    while (!records.Eof() && row <= List().RangeRowCount("Product")) {
      CopyRecordToRow(records, row);
      ++written;
      records.MoveNext();
      ++row;
      if (row > List().RangeRowCount("Product") && !records.Eof()) {
        Site().ui->MsgBox(kTooManyRows, MsgButtons::kOK, MsgIcon::kExclamation, "");
        break;
      }
      progress->Show("Record read: " + std::to_string(row));
    }
    line = 70;
    progress->End();
    records.Close();
    progress->Summary(written == 0 ? std::string("No stock records written")
                                   : fmt::format("{} stock records written to rows {} to {}",
                                                 written, first_row, first_row + written - 1));
  });
}

void clsOrvStockEx::SelectedRanges() {
  Trap("SelectedRanges of Class Module clsOrvStockEx Line#:", [&](int& line) {
    line = 10;
    std::int32_t lines = 1;
    std::int32_t records_read = 0;
    std::int32_t missing = 0;
    std::int32_t failed = 0;
    auto progress = Site().ui->NewProgressBar();
    progress->Start("Download started                        ", true);
    clsOrvStock stock;
    line = 20;
    while (lines <= List().RangeRowCount("Product")) {
      std::int32_t at = lines;
      bool present = false;
      std::string warehouse = List().GetCellValue("Warehouse", at, present);
      stock.IsWarehouse(present);
      at = lines;
      std::string product = List().GetCellValue("Product", at, present);
      stock.IsProduct(present);
      at = lines;
      std::string page = List().GetCellValue("PageNumber", at, present);
      stock.IsPageNumber(present);
      line = 30;
      page = stock.IsPageNumber() && !ValueConvert::IsBlank(page) ? stock.FormatPageNumber(page)
                                                                  : std::string();
      if (!ValueConvert::IsBlank(product)) {
        line = 40;
        clsOrvStockTables& tables = Tables();
        tables.FromWarehouse = warehouse;
        tables.FromProduct = product;
        tables.ToWarehouse.clear();
        tables.ToProduct.clear();
        std::string sql = CheckRangeExists(page);
        // A row that cannot be refreshed does not stop the others; it is named at the end.
        try {
          Recordset records;
          records.Open(sql, services_.Connections().Connection()->AdoConnection());
          if (!records.Eof()) {
            CopyRecordToRow(records, lines);
          } else {
            ++missing;
            frmOrvStockWHValid report;
            report.MsgDisp = "Warehouse: " + warehouse + " and Product: " + product;
            if (!ValueConvert::IsBlank(page)) report.MsgDisp += " Page number: " + page;
            Site().ui->ShowModal(report);
          }
          records.Close();
        } catch (const AppError& error) {
          ++failed;
          Site().ui->Notice(fmt::format("Row {} ({} {}) was not refreshed: {}", lines, warehouse,
                                        product, error.Description()));
        }
        ++records_read;
      }
      ++lines;
      progress->Show("Lines processed: " + std::to_string(lines) +
                     " Records read: " + std::to_string(records_read));
    }
    line = 50;
    progress->End();
    progress->Summary(fmt::format("{} rows refreshed, {} not found, {} failed",
                                  records_read - missing - failed, missing, failed));
  });
}

void clsOrvStockEx::CopyRecordToRow(const FieldSource& record, std::int32_t row) {
  ranges_->CopyRSToCells(record, row);
  const clsOrvStockTables& tables = Tables();
  if (tables.IsStockeM) ranges_->CopyStockeRSToCells(record, row);
  if (tables.IsStockXpgm) ranges_->CopyStockXPGRSToCells(record, row);
  if (tables.IsSttechM) ranges_->CopyTechnicalDescriptionRSToCells(record, row);
  if (tables.IsStprexM) ranges_->CopyStprexRSToCells(record, row);
  if (std::stoi(SageVersion()) > 6) {
    List().SetCellValue("Held?", ValueConvert::NullToText(record.Field("held_flag")), row);
    List().SetCellValue("Obsolete", ValueConvert::NullToText(record.Field("obsolete_flag")), row);
    List().SetCellValue("ReplenishCategory",
                        ValueConvert::NullToText(record.Field("replenish_category")), row);
  }
}

void clsOrvStockEx::UploadStock() {
  Site().errors->Guard("UploadStock of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("UploadStock"); });
}

void clsOrvStockEx::BrowseRanges(Range&) {
  Site().errors->Guard("BrowseRanges of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("BrowseRanges"); });
}

void clsOrvStockEx::EnterOptions() {
  Site().errors->Guard("EnterOptions of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("EnterOptions"); });
}

void clsOrvStockEx::BrowseStock(Range&) {
  Site().errors->Guard("BrowseStock of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("BrowseStock"); });
}

void clsOrvStockEx::ViewStock(Range&) { throw ComponentIdentity::NotAvailable("ViewStock"); }

bool clsOrvStockEx::BrowseAvailable(Range&) {
  Site().errors->Guard("BrowseAvailable of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("BrowseAvailable"); });
  return false;
}

}  // namespace orv
