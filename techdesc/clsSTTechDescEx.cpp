#include "techdesc/clsSTTechDescEx.h"

#include <fmt/format.h>

#include "browse/StockListSource.h"
#include "options/clsOrvStockExOptions.h"
#include "ranges/clsOrvStockRanges.h"
#include "shell/ComponentIdentity.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/ui/ProgressBar.h"
#include "shell/outside/ui/StockBrowse.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/RangeList.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "techdesc/frmDownloadTech.h"
#include "techdesc/frmTechDescOptions.h"
#include "upload/clsOrvStock.h"
#include "upload/frmOrvStockWHValid.h"

namespace orv {
namespace {

constexpr const char* kTooManyRows =
    "Warning - too many rows of data for the size of ranges defined";
// The range that holds a row's page number: the rows of a sheet are its rows.
constexpr std::string_view kPages = "PageNumber";

}  // namespace

clsSTTechDescEx::clsSTTechDescEx()
    : services_(clsOrvStockExOptions::kTechDescKeyPath),
      m_oOrvStock(std::make_shared<clsOrvStock>()),
      ranges_(std::make_unique<clsOrvStockRanges>()) {
  ranges_->SetOrvStock(m_oOrvStock);
}

clsSTTechDescEx::~clsSTTechDescEx() = default;

std::int32_t clsSTTechDescEx::Index() const { return ranges_->Index(); }
void clsSTTechDescEx::put_Index(std::int32_t index) { ranges_->SetIndex(index); }

HRESULT clsSTTechDescEx::QueryInterface(const IID& iid, void** object) {
  return Answer(iid, object,
                {{IID_clsSTTechDescExInterface, static_cast<_clsSTTechDescEx*>(this)},
                 {IID_HostComponent, static_cast<HostComponent*>(this)}});
}

void clsSTTechDescEx::SetSite(std::shared_ptr<HostSite> site) {
  services_.SetSite(std::move(site));
}

void clsSTTechDescEx::putref_wkbActive(std::shared_ptr<Workbook> workbook) {
  wkbActive_ = std::move(workbook);
  // A range list made over the previous workbook follows the new one; a host's own list stays.
  if (auto* list = dynamic_cast<XlsxRangeList*>(range_list_.get())) list->SetWorkbook(wkbActive_);
}

void clsSTTechDescEx::About() {
  Site().ui->ShowAbout(VersionDescription(), ProgramName(), ComponentIdentity::kComments);
}

std::string clsSTTechDescEx::VersionDescription() {
  return ComponentIdentity::VersionDescription();
}

std::string clsSTTechDescEx::FullVersionDescription() {
  return ComponentIdentity::FullVersionDescription(m_oOrvStock->FullVersionDescription());
}

void clsSTTechDescEx::SpecialBrowseCode(std::shared_ptr<Worksheet>&, bool& bDelete) {
  ComponentIdentity::SpecialBrowseCode(wkbActive_, BrowseComponentName(), bDelete);
}

void clsSTTechDescEx::SpecialShortcutCode(std::shared_ptr<Worksheet>&, bool& bDelete) {
  ComponentIdentity::SpecialShortcutCode(wkbActive_, BrowseComponentName(), bDelete);
}

bool clsSTTechDescEx::ChangeOrvConnection() {
  return services_.ChangeConnection("ChangeOrvConnection of Class Module clsSTTechDescEx : Line#:");
}

void clsSTTechDescEx::CloseConnection() { services_.Connections().Close(); }

RangeList& clsSTTechDescEx::List() {
  if (!range_list_) range_list_ = services_.NewRangeList(wkbActive_);
  return *range_list_;
}

void clsSTTechDescEx::SetUpRanges() {
  auto sheet = services_.ActiveSheet(wkbActive_);
  List().SetIncludeBlankCells(!services_.Options()->OnlyIgnoreBlankCells());
  List().SetHostFlags(true, true);
  ranges_->SetWarehouseAndProductAsHeader(true);
  ranges_->SetRangeList(range_list_);
  List().SetActiveSheet(std::move(sheet));
  if (List().RangeCount() == 0) {
    ranges_->DefineWarehouseAndProductRanges();
    ranges_->DefineTechnicalDescriptionRanges();
    ranges_->DefineSageCompanyRange();
  }
  List().EndDefinition();
}

void clsSTTechDescEx::AddRanges(Application& appCurrent) {
  Site().errors->Guard("AddRanges of Class Module clsSTTechDescEx", [&](int&) {
    SetUpRanges();
    List().SetRegistrationFlags(true, true);
    List().AddRanges(appCurrent, kTechDescProgId, true);
  });
}

void clsSTTechDescEx::ValidateRanges(RangeList& irList) {
  Trap("ValidateRanges of Class Module clsSTTechDescEx Line#:", [&](int& line) {
    line = 10;
    if (!irList.RangeExists("Warehouse"))
      throw AppError(vbObjectError, "", "Warehouse range must be present");
    line = 20;
    if (!irList.RangeExists("Product"))
      throw AppError(vbObjectError, "", "Product range must be present");
    line = 30;
    if (!irList.RangeExists("PageNumber"))
      throw AppError(vbObjectError, "", "Page Number range must be present");
  });
}

void clsSTTechDescEx::OpenConnection() {
  Trap("OpenConnection of Class Module clsSTTechDescEx Line#:", [&](int& line) {
    line = 10;
    SetUpRanges();
    line = 20;
    std::optional<std::string> sheet_company;
    if (List().RangeExists("sage_company")) {
      std::int32_t row = 1;
      bool present = false;
      sheet_company = List().GetCellValue("sage_company", row, present);
    }
    line = 30;
    services_.Connections().OpenForWorkbook(sheet_company);
  });
}

void clsSTTechDescEx::UploadTechnicalDescriptions() {
  const bool check = Site().upload_check;
  UploadCheck checked;
  std::unique_ptr<ProgressBar> progress;
  bool transaction = false;  // the run may have begun one, to be rolled back
  bool in_rows = false;
  std::int32_t processed = 0;
  int line = 0;
  try {
    line = 10;
    SetUpRanges();
    put_Index(1);
    ranges_->SetWarehouseAndProductAsHeader(true);
    ValidateRanges(List());
    OpenConnection();
    m_oOrvStock->SetSageConnection(services_.Connections().Connection());

    line = 20;
    if (!check && !services_.ConfirmPost()) return;

    line = 30;
    put_Index(1);
    ranges_->LoadWarehouseAndProduct();
    transaction = true;
    m_oOrvStock->StartTechDescEx(ProgramName());

    line = 40;
    progress = Site().ui->NewProgressBar();
    progress->Start("Updating Sage", true);

    line = 50;
    in_rows = true;
    const std::int32_t rows = List().RangeRowCount(kPages);
    while (Index() <= rows) {
      ranges_->LoadTechDescription();
      const clsOrvStock& stock = *m_oOrvStock;
      if (stock.Is("PageNumber") && !ValueConvert::IsBlank(stock.Text("PageNumber"))) {
        if (check)
          CheckRow(checked);
        else
          m_oOrvStock->UpdateTechnicalDescription();
        ++processed;
      }
      put_Index(Index() + 1);
      progress->Show(fmt::format("Lines Read:{} Processed: {} Added: {} Updated:{}", Index() - 1,
                                 processed, m_oOrvStock->CountInserts(),
                                 m_oOrvStock->CountUpdates()));
    }
    in_rows = false;

    line = 60;
    if (check)
      m_oOrvStock->CancelStockUpdate();
    else
      m_oOrvStock->EndStockUpdate();
    transaction = false;
    progress->End();
    if (check) {
      Site().ui->Notice(fmt::format(
          "Checked {} pages: {} failed; the upload would add {} and update {}. Nothing was "
          "written.",
          processed, checked.failed, m_oOrvStock->CountInserts(), m_oOrvStock->CountUpdates()));
      if (checked.failed) Site().errors->CountFailure();
    } else {
      progress->Summary(fmt::format("Record Processed : {}, Added: {}, Updated: {}", processed,
                                    m_oOrvStock->CountInserts(), m_oOrvStock->CountUpdates()));
    }
  } catch (...) {
    AppError error = ChainError(std::current_exception(), "", line);
    if (transaction) {
      try {
        m_oOrvStock->CancelStockUpdate();
      } catch (const std::exception& rollback) {
        Site().ui->Notice(std::string("The rollback failed too: ") + rollback.what());
      }
    }
    if (progress) progress->End();
    if (in_rows) {
      SelectPageCell();
      Site().ui->Notice("Upload stopped at " + RowInWords() + "; nothing was written");
    }
    Site().errors->Report(ChainError(std::make_exception_ptr(error),
                                     "UploadTechnicalDescriptions of Class Module clsSTTechDescEx",
                                     0));
  }
}

// One page of a check: a failing page is named, its writes undone, and the check goes on. The
// writes of a page that went through stay until the end of the check, so that a later row of the
// same page sees them as the upload would.
void clsSTTechDescEx::CheckRow(UploadCheck& check) {
  const std::shared_ptr<Connection>& connection =
      services_.Connections().Connection()->AdoConnection();
  connection->Execute("SAVEPOINT orvstock_check_page");
  try {
    m_oOrvStock->UpdateTechnicalDescription();
  } catch (...) {
    AppError error = ChainError(std::current_exception(), "", 0);
    ++check.failed;
    Site().ui->Notice(RowInWords() + ": " + error.Description());
    connection->Execute("ROLLBACK TO SAVEPOINT orvstock_check_page");
  }
  connection->Execute("RELEASE SAVEPOINT orvstock_check_page");
}

std::string clsSTTechDescEx::RowInWords() {
  std::string where = "row " + std::to_string(Index());
  if (auto pages = List().GetRange(kPages))
    where = "sheet row " + std::to_string(pages->Row() + static_cast<std::uint32_t>(Index()) - 1);
  const clsOrvStock& stock = *m_oOrvStock;
  return where + " (warehouse " + stock.Text("warehouse") + ", product " + stock.Text("product") +
         ", page " + stock.Text("PageNumber") + ")";
}

void clsSTTechDescEx::SelectPageCell() {
  try {
    if (auto pages = List().GetRange(kPages))
      pages->Cells(static_cast<std::uint32_t>(Index()), 1).SelectEntireRow();
  } catch (const AppError&) {
    // Selecting is a courtesy; the error being reported matters more.
  }
}

bool clsSTTechDescEx::BrowseAvailable(Range& Active_Cell) {
  bool available = false;
  Site().errors->Guard("BrowseAvailable of Class Module clsSTTechDescEx", [&](int&) {
    SetUpRanges();
    available =
        List().CellInRange("Warehouse", Active_Cell) || List().CellInRange("Product", Active_Cell);
  });
  return available;
}

void clsSTTechDescEx::BrowseRanges(Range& Active_Cell) {
  Site().errors->Guard("BrowseRanges of Class Module clsSTTechDescEx", [&](int& line) {
    line = 10;
    if (!BrowseAvailable(Active_Cell)) {
      Site().ui->MsgBox("Sorry! Stock Tech Desc browse not available for this cell",
                        MsgButtons::kOK, MsgIcon::kInformation, "Message");
      return;
    }
    line = 20;
    OpenConnection();
    StockBrowse browse(std::make_shared<StockListSource>(services_.Connections().Connection()),
                       false);
    const std::string preset =
        Site().picker_search.empty() ? Active_Cell.Text() : Site().picker_search;
    // The warehouse search of the browse takes one warehouse exactly; the product, a start.
    if (List().CellInRange("Warehouse", Active_Cell))
      browse.SetSearch({preset, "", ""});
    else
      browse.SetProductSearch(preset);
    Site().ui->ShowModal(browse);
    auto chosen = browse.ChosenStock();
    if (chosen.empty()) return;

    line = 30;
    const auto& [warehouse, product] = chosen.front();
    List().SetCellValue("Warehouse", warehouse, 1);
    List().SetCellValue("Product", product, 1);
    if (Site().ui->MsgBox("Download pages for this stock code?", MsgButtons::kYesNo, MsgIcon::kNone,
                          "New product code entered") != MsgAnswer::kYes)
      return;

    line = 40;
    clsOrvStock& stock = *m_oOrvStock;
    stock.SetIs("warehouse", true);
    stock.SetText("warehouse", warehouse);
    stock.SetIs("product", true);
    stock.SetText("product", product);
    DownloadAllPages(0);
  });
}

void clsSTTechDescEx::DownloadTechnicalDescriptions() {
  Site().errors->Guard("DownloadTechnicalDescriptions of Class Module clsSTTechDescEx Line#:",
                       [&](int& line) {
                         line = 10;
                         put_Index(1);
                         SetUpRanges();
                         ValidateRanges(List());
                         OpenConnection();

                         line = 20;
                         frmDownloadTech dialog;
                         dialog.SetSageConnection(services_.Connections().Connection());
                         Site().ui->ShowModal(dialog);
                         if (!dialog.OKSelected()) {
                           Site().ui->Notice("Download cancelled: nothing was written");
                           Site().errors->CountFailure();
                           return;
                         }

                         line = 30;
                         ReadStockItem();
                         line = 40;
                         if (dialog.DownloadThoseOnSheet())
                           DownloadThoseOnSheet();
                         else
                           DownloadAllPages(Site().download_at_active_cell ? ActiveCellRow() : 0);
                       });
}

void clsSTTechDescEx::ReadStockItem() {
  clsOrvStock& stock = *m_oOrvStock;
  std::int32_t row = 1;
  bool present = false;
  std::string warehouse = List().GetCellValue("Warehouse", row, present);
  stock.SetIs("warehouse", present);
  stock.SetText("warehouse", warehouse);
  row = 1;
  std::string product = List().GetCellValue("Product", row, present);
  stock.SetIs("product", present);
  stock.SetText("product", product);
  // A blank key finds no page: a download of all pages would only empty the sheet.
  if (ValueConvert::IsBlank(warehouse) || ValueConvert::IsBlank(product))
    throw AppError(vbObjectError, "",
                   "The Warehouse and Product cells must name the stock item whose pages to "
                   "download");
}

void clsSTTechDescEx::OpenPages(Recordset& pages, const std::string& page) {
  const DataConnection& connection = *services_.Connections().Connection();
  const clsOrvStock& stock = *m_oOrvStock;
  std::string sql = "select * from " + connection.TableCatalogue().TechnicalDescription() +
                    " where warehouse=? and product =?";
  std::vector<Variant> values = {connection.ConvertValue(stock.Text("warehouse")),
                                 connection.ConvertValue(stock.Text("product"))};
  if (page.empty()) {
    sql += " order by page_number";
  } else {
    sql += " and page_number=?";
    values.push_back(connection.ConvertValue(page));
  }
  pages.Open(sql, connection.AdoConnection(), values);
}

void clsSTTechDescEx::DownloadThoseOnSheet() {
  Trap("DownloadThoseOnSheet of Class Module clsSTTechDescEx Line#:", [&](int& line) {
    line = 10;
    clsOrvStock& stock = *m_oOrvStock;
    auto progress = Site().ui->NewProgressBar();
    progress->Start("Download started", true);
    std::int32_t refreshed = 0;
    std::int32_t missing = 0;
    const std::int32_t rows = List().RangeRowCount(kPages);
    for (std::int32_t row = 1; row <= rows; ++row) {
      line = 20;
      std::int32_t at = row;
      bool present = false;
      std::string page = List().GetCellValue(kPages, at, present);
      stock.SetIs("PageNumber", present);
      if (!present || ValueConvert::IsBlank(page)) continue;
      line = 30;
      try {
        page = stock.FormatPageNumber(page);
      } catch (const AppError&) {
        Site().ui->Notice(
            fmt::format("Row {} of the pages: \"{}\" is not a page number (1 to 999)", row, page));
        throw;
      }
      line = 40;
      Recordset found;
      OpenPages(found, page);
      if (found.Eof()) {
        ++missing;
        frmOrvStockWHValid report;
        report.MsgDisp = "Warehouse: " + stock.Text("warehouse") +
                         " and Product: " + stock.Text("product") + " Page number: " + page;
        Site().ui->ShowModal(report);
      } else {
        ranges_->CopyTechnicalDescriptionRSToCells(found, row);
        ++refreshed;
      }
      found.Close();
      progress->Show(fmt::format("Rows read: {} Pages read: {}", row, refreshed));
    }
    line = 50;
    progress->End();
    progress->Summary(fmt::format("{} pages refreshed, {} not found", refreshed, missing));
  });
}

std::int32_t clsSTTechDescEx::ActiveCellRow() {
  if (!Site().application)
    throw AppError(vbObjectError, "", "There is no active cell to start the download at");
  Range cell = Site().application->ActiveCell();
  auto position = List().RowOfCell(cell);
  if (!position.ok || position.definition->layout != RangeDefinition::kColumn)
    throw AppError(vbObjectError, "",
                   "The active cell " + cell.Address() +
                       " is not in the page rows: choose a cell of the row to start below");
  return position.row;
}

void clsSTTechDescEx::DownloadAllPages(std::int32_t start_row) {
  Trap("DownloadAllPages of Class Module clsSTTechDescEx Line#:", [&](int& line) {
    line = 10;
    Recordset pages;
    OpenPages(pages, "");
    line = 20;
    List().SetConfirmClear(true);
    List().ClearRanges(true, 0, 0);
    line = 30;
    // The first page goes into the row below the start row; a page with no row left stops the
    // download with the warning.
    const std::int32_t rows = List().RangeRowCount(kPages);
    std::int32_t row = start_row;
    std::int32_t written = 0;
    while (row <= rows && !pages.Eof()) {
      ++row;
      if (row > rows) {
        Site().ui->MsgBox(kTooManyRows, MsgButtons::kOK, MsgIcon::kExclamation, "");
        break;
      }
      ranges_->CopyTechnicalDescriptionRSToCells(pages, row);
      ++written;
      pages.MoveNext();
    }
    line = 40;
    pages.Close();
    const clsOrvStock& stock = *m_oOrvStock;
    const std::string item =
        "warehouse " + stock.Text("warehouse") + " product " + stock.Text("product");
    Site().ui->Notice(written == 0 ? "No pages of " + item + " written"
                                   : fmt::format("{} pages of {} written to rows {} to {}", written,
                                                 item, start_row + 1, start_row + written));
  });
}

void clsSTTechDescEx::EnterOptions() {
  Site().errors->Guard("EnterOptions of Class Module clsSTTechDescEx", [&](int&) {
    services_.Options()->LoadFromRegistry(true);
    frmTechDescOptions dialog;
    dialog.SetOptions(services_.Options());
    Site().ui->ShowModal(dialog);
    if (dialog.OKSelected()) services_.Options()->SaveToRegistry();
  });
}

void clsSTTechDescEx::ClearAllRanges() {
  if (!services_.ConfirmCleardown()) return;
  SetUpRanges();
  List().SetConfirmClear(true);
  List().ClearRanges(true, 0, 0);
}

}  // namespace orv
