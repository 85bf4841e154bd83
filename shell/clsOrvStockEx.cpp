#include "shell/clsOrvStockEx.h"

#include <fmt/format.h>

#include <charconv>
#include <exception>
#include <map>
#include <optional>

#include <algorithm>
#include "browse/BrowseEngine.h"
#include "browse/CellBrowse.h"
#include "browse/StockListSource.h"
#include "browse/StockViewSource.h"
#include "download/clsOrvStockTables.h"
#include "download/frmExtractStock.h"
#include "options/clsOrvStockExOptions.h"
#include "options/frmOrvStockExOptions.h"
#include "ranges/clsOrvStockRanges.h"
#include "shell/ComponentIdentity.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/base/VbError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/db/ReadAhead.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/db/SavepointGuard.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/ui/ProgressBar.h"
#include "shell/outside/ui/StockBrowse.h"
#include "shell/outside/ui/StockView.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/SheetBinding.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "shell/outside/xlsx/XmlText.h"
#include "upload/clsOrvStock.h"
#include "upload/frmConfirmContinue.h"
#include "upload/frmGroupContinue.h"
#include "upload/frmOrvStockWHValid.h"

namespace orv {
namespace {

constexpr const char* kTooManyRows =
    "Warning - too many rows of data for the size of ranges defined";
constexpr const char* kBrowseNotAvailable = "Sorry! browse not available for this cell";

// Statements whose failure is deliberately passed over: the range definitions are re-run by the
// next action, and a definition that failed is reported there by the range it lacks.
// The summary's note of records written with repaired text.
std::string RepairedNote(std::int32_t repaired) {
  return repaired == 0 ? std::string()
                       : fmt::format(" ({} with text repaired: see the warnings)", repaired);
}

template <class Statement>
void IgnoringErrors(Statement&& statement) {
  try {
    statement();
  } catch (const AppError&) {
  }
}

}  // namespace

clsOrvStockEx::clsOrvStockEx()
    : services_(clsOrvStockExOptions::kStockKeyPath),
      m_oOrvStock(std::make_shared<clsOrvStock>()),
      ranges_(std::make_unique<clsOrvStockRanges>()) {
  ranges_->SetOrvStock(m_oOrvStock);
  ranges_->SetDateFormatter(&DataConnection::DateToText);
  clsOrvStock& stock = *m_oOrvStock;
  // The subscriptions end with the component, so no answer can reach a component that is gone.
  auto Keep = [this](auto subscription) {
    events_.push_back(std::make_shared<decltype(subscription)>(std::move(subscription)));
  };
  Keep(stock.ProductGroupInvalid.Subscribe(
      [this](std::string& field, std::string& label, bool& go_on) {
        OnProductGroupInvalid(field, label, go_on);
      }));
  Keep(stock.PurchaseGLCat.Subscribe([this](std::string& code, bool& go_on) {
    AskToContinue(purchase_gl_all_, "Purchase G/L category",
                  "Warning: Purchase G/L category " + code + " not on file.", go_on);
  }));
  Keep(stock.StockGLCat.Subscribe([this](std::string& code, bool& go_on) {
    AskToContinue(stock_gl_all_, "Stock G/L category",
                  "Warning: Stock G/L category " + code + " not on file.", go_on);
  }));
  Keep(stock.BuyerIDExists.Subscribe([this](std::string& code, bool& go_on) {
    AskToContinue(buyer_all_, "Buyer ID", "Warning: Invalid buyer code " + code + " not on file.",
                  go_on);
  }));
  Keep(stock.RecordExist.Subscribe([this](bool& update) { OnRecordExist(update); }));
  Keep(stock.BinMissing.Subscribe(
      [](const std::string&, const std::string&, bool& create, bool& accept) {
        create = true;
        accept = true;
      }));
}

clsOrvStockEx::~clsOrvStockEx() {
  m_oOrvStock.reset();
  update_all_ = false;
}

HRESULT clsOrvStockEx::QueryInterface(const IID& iid, void** object) {
  return Answer(iid, object,
                {{IID_clsOrvStockExInterface, static_cast<_clsOrvStockEx*>(this)},
                 {IID_HostComponent, static_cast<HostComponent*>(this)}});
}

void clsOrvStockEx::SetSite(std::shared_ptr<HostSite> site) { services_.SetSite(std::move(site)); }

RangeList& clsOrvStockEx::List() {
  if (!range_list_) range_list_ = services_.NewRangeList(m_objwkbActive_);
  return *range_list_;
}

clsOrvStockExOptions& clsOrvStockEx::Options() { return *services_.Options(); }

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
  Site().ui->ShowHelp(std::filesystem::path(ORV_HELP_DIR) / ComponentIdentity::kHelpPage,
                      Site().profile.desktop);
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
  // The flag is set only once the version is known: a connection that failed is tried again by
  // the next action instead of leaving the component without a version.
  if (ValueConvert::IsBlank(sage_version_) && !prepared_) {
    OpenWorkbookCompany();
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

std::int32_t clsOrvStockEx::SageVersionNumber() {
  const std::string version = SageVersion();
  std::int32_t number = 0;
  const char* end = version.data() + version.size();
  auto [stop, error] = std::from_chars(version.data(), end, number);
  if (version.empty() || error != std::errc() || stop != end)
    throw AppError(vbObjectError, "",
                   "The ERP version of the company is not known ('" + version +
                       "'), so the columns it carries cannot be told");
  return number;
}

void clsOrvStockEx::OpenConnection() {
  PrepareRanges();
  OpenWorkbookCompany();
}

// The opening half of OpenConnection, which PrepareRanges runs itself; a failure carries the
// OpenConnection tag either way.
void clsOrvStockEx::OpenWorkbookCompany() {
  Trap("OpenConnection of Class Module clsOrvStockEx Line#:", [&](int& line) {
    line = 30;
    std::optional<std::string> sheet_company;
    if (List().RangeExists("sage_company")) {
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
    using Companion = clsOrvStockRanges::Companion;
    tables.IsStockeM = ranges_->HasRangesOf(Companion::kEc);
    tables.IsStockXpgm = ranges_->HasRangesOf(Companion::kExtension);
    tables.IsSttechM = ranges_->HasRangesOf(Companion::kPage);
    tables.IsStprexM = ranges_->HasRangesOf(Companion::kExpense);
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
    const auto& definitions = List().Definitions();
    if (std::none_of(definitions.begin(), definitions.end(),
                     [&](const auto& definition) { return List().RangeExists(definition->name); }))
      throw AppError(vbObjectError, "",
                     "The workbook has none of the stock ranges, so there is nowhere to download "
                     "into");
    line = 30;
    OpenConnection();
    line = 40;
    frmExtractStock dialog;
    dialog.SetSageConnection(services_.Connections().Connection());
    dialog.SetOptions(services_.Options());
    Site().ui->ShowModal(dialog);
    line = 50;
    if (dialog.Cancelled()) return;
    if (dialog.IsSelectRngsChk())
      SelectedRanges();
    else
      DownloadRanges(dialog);
  });
}

std::optional<std::int32_t> clsOrvStockEx::FirstRowToFill(const frmExtractStock& choices) {
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
  if (choices.ClearDownload()) {
    // Writing over cells that were not cleared would leave the old rows below a shorter
    // download, to be uploaded again later as if they were current.
    if (!services_.ConfirmCleardown()) return std::nullopt;
    PrepareRanges();
    List().SetConfirmClear(true);
    List().ClearRanges(true, 0, 0);
  }
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
    tables.UseMarkers = false;
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
    // A server sends the records a thousand at a time: a large company's never stand in memory
    // all at once.
    records.OpenInBatches(sql + " order by t1.warehouse,t1.product",
                          services_.Connections().Connection()->AdoConnection(), 1000);
    line = 50;
    const std::optional<std::int32_t> start = FirstRowToFill(choices);
    if (!start) {
      progress->End();
      Site().ui->Notice("Download cancelled: nothing was written");
      Site().errors->CountFailure();
      return;
    }
    std::int32_t row = *start;
    const std::int32_t first_row = row;
    line = 60;
    std::int32_t written = 0;
    std::int32_t repaired = 0;
    // A record that has no row left stops the download with the warning, also when none was
    // written (appending to a full sheet). A row is left when every range holds it or can grow to
    // it over free cells, so nothing the user typed below a range is overwritten.
    while (!records.Eof()) {
      const bool beyond = row > List().RangeRowCount("Product");
      std::optional<std::string> blocker;
      if (!beyond) blocker = List().RowBlocker(row);
      if (beyond || blocker) {
        if (blocker) Site().ui->Notice(fmt::format("Row {} cannot be written: {}", row, *blocker));
        Site().ui->MsgBox(kTooManyRows, MsgButtons::kOK, MsgIcon::kExclamation, "");
        break;
      }
      repaired += CopyRecordToRow(records, row) ? 1 : 0;
      ++written;
      records.MoveNext();
      ++row;
      progress->Show("Record read: " + std::to_string(row));
    }
    line = 70;
    progress->End();
    records.Close();
    progress->Summary(written == 0 ? std::string("No stock records written")
                                   : fmt::format("{} stock records written to rows {} to {}{}",
                                                 written, first_row, first_row + written - 1,
                                                 RepairedNote(repaired)));
  });
}

void clsOrvStockEx::SelectedRanges() {
  Trap("SelectedRanges of Class Module clsOrvStockEx Line#:", [&](int& line) {
    line = 10;
    std::int32_t lines = 1;
    std::int32_t records_read = 0;
    std::int32_t missing = 0;
    std::int32_t failed = 0;
    std::int32_t repaired = 0;
    auto progress = Site().ui->NewProgressBar();
    progress->Start("Download started                        ", true);
    clsOrvStock stock;
    // One statement serves every row of a shape (with or without warehouse and page): prepared
    // once, then run with the row's values.
    Tables().UseMarkers = true;
    std::map<std::string, Recordset, std::less<>> statements;
    // The rows to come are asked ahead, a batch at a time, each shape by one statement: a server
    // then answers a hundred rows for one round trip.
    std::map<std::string, ReadAhead, std::less<>> aheads;
    std::int32_t expected_to = 0;
    const auto connection = services_.Connections().Connection()->AdoConnection();
    struct RowQuery {
      std::string warehouse, product, page, name, sql;
      std::vector<Variant> values;
      bool asked = false;
      // Why the row's cells could not be read, or why the row cannot be refreshed.
      std::exception_ptr unread, unplanned;
    };
    // The row's key; false for a row without a product.
    auto read_key = [&](std::int32_t row, RowQuery& query) {
      bool present = false;
      std::int32_t at = row;
      query.warehouse = List().GetCellValue("Warehouse", at, present);
      stock.SetIs("warehouse", present);
      at = row;
      query.product = List().GetCellValue("Product", at, present);
      stock.SetIs("product", present);
      at = row;
      query.page = List().GetCellValue("PageNumber", at, present);
      stock.SetIs("PageNumber", present);
      return !ValueConvert::IsBlank(query.product);
    };
    // The row's statement and its values. AppError for a row that cannot be refreshed.
    auto plan = [&](std::int32_t row, RowQuery& query) {
      query.name = query.warehouse + " " + query.product;
      if (stock.Is("PageNumber") && !ValueConvert::IsBlank(query.page)) {
        query.name += ", page " + query.page;
        query.page = stock.FormatPageNumber(query.page);
      } else {
        query.page.clear();
      }
      if (auto blocker = List().RowBlocker(row)) throw AppError(vbObjectError, "", *blocker);
      clsOrvStockTables& tables = Tables();
      tables.FromWarehouse = query.warehouse;
      tables.FromProduct = query.product;
      tables.ToWarehouse.clear();
      tables.ToProduct.clear();
      query.sql = CheckRangeExists(query.page);
      query.values.assign(tables.Parameters().begin(), tables.Parameters().end());
    };
    // The next batch of rows, planned once: their keys are expected, and the rows use the plans.
    std::vector<RowQuery> planned;
    std::int32_t first_planned = 0;
    auto plan_from = [&](std::int32_t first) {
      const std::int32_t last =
          std::min<std::int32_t>(first + static_cast<std::int32_t>(ReadAhead::kBatch) - 1,
                                 List().RangeRowCount("Product"));
      planned.assign(static_cast<std::size_t>(last - first + 1), RowQuery{});
      first_planned = first;
      std::map<std::string, std::vector<std::vector<Variant>>, std::less<>> keys;
      for (std::int32_t row = first; row <= last; ++row) {
        RowQuery& query = planned[static_cast<std::size_t>(row - first)];
        try {
          query.asked = read_key(row, query);
        } catch (const AppError&) {
          query.unread = std::current_exception();
          continue;
        }
        if (!query.asked) continue;
        try {
          plan(row, query);
          keys[query.sql].push_back(query.values);
        } catch (const AppError&) {
          query.unplanned = std::current_exception();
        }
      }
      for (auto& [sql, shape_keys] : keys)
        aheads.try_emplace(sql, sql).first->second.Expect(std::move(shape_keys));
      expected_to = last;
    };
    line = 20;
    while (lines <= List().RangeRowCount("Product")) {
      if (lines > expected_to) plan_from(lines);
      RowQuery& query = planned[static_cast<std::size_t>(lines - first_planned)];
      if (query.unread) std::rethrow_exception(query.unread);
      // A row that cannot be refreshed does not stop the others; it is named at the end.
      if (query.asked) {
        try {
          line = 30;
          if (query.unplanned) std::rethrow_exception(query.unplanned);
          line = 40;
          Recordset answer;
          Recordset* records = &answer;
          auto ahead = aheads.find(query.sql);
          std::optional<Recordset> taken;
          if (ahead != aheads.end()) taken = ahead->second.Take(connection, query.values);
          if (taken) {
            answer = std::move(*taken);
          } else {
            records = &statements[query.sql];
            records->Open(query.sql, connection, query.values);
          }
          // The page table is outer-joined: an item without the asked page still comes back, with
          // empty page columns that must not overwrite the page the row holds.
          bool found = !records->Eof() && (query.page.empty() || !Tables().IsSttechM ||
                                           !records->Fields("page_number").IsNull());
          if (found) {
            repaired += CopyRecordToRow(*records, lines) ? 1 : 0;
          } else {
            ++missing;
            frmOrvStockWHValid report;
            report.MsgDisp = "Warehouse: " + query.warehouse + " and Product: " + query.product;
            if (!ValueConvert::IsBlank(query.page)) report.MsgDisp += " Page number: " + query.page;
            Site().ui->ShowModal(report);
          }
          records->Close();
        } catch (const AppError& error) {
          ++failed;
          Site().ui->Notice(fmt::format("Row {} ({}) was not refreshed: {}", lines, query.name,
                                        error.Description()));
        }
        ++records_read;
      }
      ++lines;
      progress->Show("Lines processed: " + std::to_string(lines) +
                     " Records read: " + std::to_string(records_read));
    }
    line = 50;
    progress->End();
    progress->Summary(fmt::format("{} rows refreshed, {} not found, {} failed{}",
                                  records_read - missing - failed, missing, failed,
                                  RepairedNote(repaired)));
    // The rows refreshed are kept; the host still says that not all of the work was done.
    if (failed) Site().errors->CountFailure();
  });
}

bool clsOrvStockEx::CopyRecordToRow(const FieldSource& record, std::int32_t row) {
  auto record_name = [&] {
    std::string name;
    for (const char* key : {"warehouse", "product"}) {
      try {
        name += std::string(name.empty() ? "Warehouse " : " product ") +
                XmlText::Repaired(record.Field(key).ToText());
      } catch (const AppError&) {
      }
    }
    return name + " (row " + std::to_string(row) + ")";
  };
  List().TakeTextRepairs();
  try {
    ranges_->CopyRSToCells(record, row);
    const clsOrvStockTables& tables = Tables();
    if (tables.IsStockeM) ranges_->CopyStockeRSToCells(record, row);
    if (tables.IsStockXpgm) ranges_->CopyStockXPGRSToCells(record, row);
    if (tables.IsSttechM) ranges_->CopyTechnicalDescriptionRSToCells(record, row);
    if (tables.IsStprexM) ranges_->CopyStprexRSToCells(record, row);
    if (SageVersionNumber() > 6) ranges_->CopyVersion7RSToCells(record, row);
  } catch (const AppError& error) {
    // A workbook that cannot be read or written is no fault of the record.
    if (error.Number() == kWorkbookFileError) throw;
    throw AppError(error.Number(), error.Source(), record_name() + ": " + error.Description());
  }
  auto repairs = List().TakeTextRepairs();
  if (repairs.empty()) return false;
  std::string ranges;
  for (const auto& repair : repairs) ranges += (ranges.empty() ? "" : ", ") + repair.range;
  Site().ui->Notice("Warning: " + record_name() + ": " + ranges +
                    " held text a workbook cannot hold (bytes that are not UTF-8, or characters "
                    "XML does not allow); written with U+FFFD in their place");
  return true;
}

void clsOrvStockEx::UploadStock() {
  const bool check = Site().upload_check;
  check_ = check ? std::make_unique<UploadCheck>() : nullptr;
  std::unique_ptr<ProgressBar> progress;
  bool running = false;
  std::int32_t processed = 0;
  int line = 0;
  try {
    line = 10;
    PrepareRanges();
    put_Index(1);
    purchase_gl_all_ = false;
    stock_gl_all_ = false;
    buyer_all_ = false;
    ranges_->SetWarehouseAndProductAsHeader(false);
    OpenConnection();
    m_oOrvStock->SetSageConnection(services_.Connections().Connection());
    Options().LoadFromRegistry(true);

    line = 20;
    if (!List().RangeExists("Warehouse")) {
      Site().ui->MsgBox("Warehouse range not found, Must be included", MsgButtons::kOK,
                        MsgIcon::kNone, "");
      Site().errors->CountFailure();
      return;
    }

    line = 30;
    if (!check && !services_.ConfirmPost()) return;

    line = 40;
    // A check writes every row and undoes it: without a transaction it could not.
    if (check && !services_.Connections().Connection()->UseTransactions())
      throw AppError(VbError::kActionNotSupported, "",
                     "A check needs a connection that uses transactions");
    ranges_->SetSageVersion(static_cast<std::int16_t>(SageVersionNumber()));
    m_oOrvStock->SetSageConnection(services_.Connections().Connection());
    bool started = false;
    m_oOrvStock->StartStockEx(ProgramName(), started);
    running = true;
    Connection& ado = *services_.Connections().Connection()->AdoConnection();
    std::optional<SavepointGuard> undo_point;
    if (check) undo_point.emplace(ado);
    // A server is sent each row's writes without waiting for them: their answers come together
    // at the next read, question, commit or (in a check) the row's end; a write that failed names
    // the row it was sent for.
    ado.SetSendWritesAhead(true);

    line = 50;
    progress = Site().ui->NewProgressBar();
    progress->Start("Updating Sage", true);

    line = 60;
    const std::int32_t rows = List().RangeRowCount("Product");
    // The records of the rows to come are read a batch at a time (a server then answers a
    // hundred rows for one round trip).
    std::int32_t expected_to = 0;
    while (Index() <= rows) {
      if (Index() > expected_to) {
        expected_to = std::min<std::int32_t>(
            Index() + static_cast<std::int32_t>(ReadAhead::kBatch) - 1, rows);
        std::vector<std::pair<std::string, std::string>> keys;
        for (std::int32_t row = Index(); row <= expected_to; ++row) {
          bool present = false;
          std::int32_t at = row;
          std::string warehouse = List().GetCellValue("Warehouse", at, present);
          at = row;
          keys.emplace_back(std::move(warehouse), List().GetCellValue("Product", at, present));
        }
        m_oOrvStock->ExpectRows(keys);
      }
      ado.SetWriteTag(Index());
      ranges_->LoadWarehouseAndProduct();
      const clsOrvStock& stock = *m_oOrvStock;
      if ((stock.Is("warehouse") && !ValueConvert::IsBlank(stock.Text("warehouse"))) ||
          (stock.Is("product") && !ValueConvert::IsBlank(stock.Text("product")))) {
        if (check)
          CheckRow(*undo_point);
        else {
          ranges_->LoadDetail();
          m_oOrvStock->UpdateStock();
        }
        ++processed;
      }
      put_Index(Index() + 1);
      progress->Show(fmt::format("Lines Read:{} Processed: {} Added: {} Updated:{}", Index(),
                                 processed, m_oOrvStock->CountInserts(),
                                 m_oOrvStock->CountUpdates()));
    }

    line = 70;
    running = false;
    try {
      if (check)
        m_oOrvStock->CancelStockUpdate();
      else
        m_oOrvStock->EndStockUpdate();
    } catch (...) {
      // The last rows' writes are answered at the commit: a failed one is its row's.
      running = ado.FailedWriteTag().has_value();
      throw;
    }
    ado.SetSendWritesAhead(false);
    progress->End();
    update_all_ = false;
    if (check)
      ReportCheck(processed);
    else
      progress->Summary(fmt::format("Record Processed : {}, Added: {}, Updated: {}", processed,
                                    m_oOrvStock->CountInserts(), m_oOrvStock->CountUpdates()));
  } catch (...) {
    AppError error = ChainError(std::current_exception(), "", line);
    if (running) {
      // A write sent ahead that failed belongs to the row it was sent for, named below.
      auto& ado = *services_.Connections().Connection()->AdoConnection();
      if (auto tag = ado.FailedWriteTag(); tag && *tag != Index()) {
        put_Index(static_cast<std::int32_t>(*tag));
        try {
          ranges_->LoadWarehouseAndProduct();
        } catch (const AppError&) {
          // The row is still named by its number.
        }
      }
      try {
        m_oOrvStock->CancelStockUpdate();
      } catch (const std::exception& rollback) {
        Site().ui->Notice(std::string("The rollback failed too: ") + rollback.what());
      }
      try {
        ado.SetSendWritesAhead(false);
      } catch (const AppError&) {
      }
    }
    if (progress) progress->End();
    update_all_ = false;
    const std::string where = running ? RowInWords() : std::string();
    if (IsSilent(error.Number())) {
      // The user cancelled: the workbook is left as it was, its selection included.
      Site().ui->Notice("Upload stopped" + (where.empty() ? "" : " at " + where) +
                        ": nothing was written");
      Site().errors->CountFailure();
      return;
    }
    if (running && Index() > 0) SelectRow(Index());
    if (!where.empty()) Site().ui->Notice("Upload stopped at " + where + "; nothing was written");
    Site().errors->Report(
        ChainError(std::make_exception_ptr(error), "UploadStock of Class Module clsOrvStockEx", 0));
  }
}

bool clsOrvStockEx::IsSilent(std::int32_t number) {
  for (int offset : {6500, 5075, 5073, 5072, 5071, 5070, 2003})
    if (number == vbObjectError + offset) return true;
  return false;
}

std::string clsOrvStockEx::RowInWords() {
  std::string where = "row " + std::to_string(Index());
  if (auto product = List().GetRange("Product"))
    where = "sheet row " + std::to_string(product->Row() + static_cast<std::uint32_t>(Index()) - 1);
  return where + " (warehouse " + m_oOrvStock->Text("warehouse") + ", product " +
         m_oOrvStock->Text("product") + ")";
}

void clsOrvStockEx::SelectRow(std::int32_t index) {
  try {
    if (auto product = List().GetRange("Product"))
      product->Cells(static_cast<std::uint32_t>(index), 1).SelectEntireRow();
  } catch (const AppError&) {
    // Selecting is a courtesy; the error being reported matters more.
  }
}

// One row of a check: its writes are undone at once, a failure is named and the run goes on.
// Every row is undone to the one savepoint taken before the first, and a row that failed nothing
// and wrote nothing (an unchanged record) has nothing to undo.
void clsOrvStockEx::CheckRow(SavepointGuard& undo_point) {
  Connection& connection = *services_.Connections().Connection()->AdoConnection();
  const std::uint64_t writes = connection.Writes();
  const std::int32_t questions = check_->questions;
  bool failed = false;
  try {
    ranges_->LoadDetail();
    m_oOrvStock->UpdateStock();
    // The row's writes sent ahead are answered here, where a failure is the row's own.
    connection.SyncWrites();
    ++(m_oOrvStock->NewRecord() ? check_->adds : check_->updates);
  } catch (...) {
    AppError error = ChainError(std::current_exception(), "", 0);
    failed = true;
    ++check_->failed;
    check_->questions = questions;
    Site().ui->Notice(fmt::format("{}: error {}: {}", RowInWords(), ErrorNumberText(error.Number()),
                                  error.Description()));
  }
  if (failed || connection.Writes() != writes) undo_point.Undo();
}

void clsOrvStockEx::ReportCheck(std::int32_t processed) {
  std::string summary =
      fmt::format("Checked {} rows: {} failed; the upload would add {} and update {}", processed,
                  check_->failed, check_->adds, check_->updates);
  if (check_->questions)
    summary +=
        fmt::format(" (asking before updating each of {} existing records)", check_->questions);
  Site().ui->Notice(summary + ". Nothing was written.");
  if (check_->failed) Site().errors->CountFailure();
}

std::string clsOrvStockEx::ErrorNumberText(std::int32_t number) {
  if (number >= vbObjectError && number < vbObjectError + 65536)
    return std::to_string(number - vbObjectError) + " (" + std::to_string(number) + ")";
  return std::to_string(number);
}

// --- The business object's questions.

// The rows before are written before the user is asked about this one: a failure of theirs ends
// the run first (it names its own row), not after questions about rows that will not be written.
void clsOrvStockEx::SettleWrites() {
  services_.Connections().Connection()->AdoConnection()->SyncWrites();
}

void clsOrvStockEx::AskToContinue(bool& yes_to_all, const std::string& heading,
                                  const std::string& warning, bool& go_on) {
  if (yes_to_all) {
    go_on = true;
    return;
  }
  if (check_) {
    Site().ui->Notice(RowInWords() + ": " + warning);
    go_on = true;
    return;
  }
  SettleWrites();
  frmConfirmContinue dialog;
  dialog.Heading = heading;
  dialog.Caption1 = warning;
  dialog.Caption2 = "Continue ?";
  Site().ui->ShowModal(dialog);
  if (dialog.YesToAll()) yes_to_all = true;
  go_on = dialog.YesToThis();
}

void clsOrvStockEx::OnProductGroupInvalid(std::string& field, std::string& label, bool& go_on) {
  const std::size_t group = field.empty() ? 0 : static_cast<std::size_t>(field.back() - 'A');
  if (group < group_all_.size() && group_all_[group]) {
    go_on = true;
    return;
  }
  if (check_) {
    Site().ui->Notice(RowInWords() + ": Warning: Product  " + label + " not on file.");
    go_on = true;
    return;
  }
  SettleWrites();
  frmGroupContinue dialog;
  dialog.GroupLabel = label;
  dialog.GroupField = field;
  Site().ui->ShowModal(dialog);
  if (dialog.YesToAll() && group < group_all_.size()) group_all_[group] = true;
  go_on = dialog.Continue();
}

void clsOrvStockEx::OnRecordExist(bool& update) {
  clsOrvStockExOptions& options = Options();
  if (options.DoNotAllow()) {
    update = false;
    return;
  }
  if (!options.Warn() && options.AllowWOutWarn()) update_all_ = true;
  if (!update || update_all_) return;
  if (check_) {
    ++check_->questions;
    return;
  }
  SettleWrites();
  const clsOrvStock& stock = *m_oOrvStock;
  const std::string question = "Warning: Stock Code " + stock.Text("warehouse") +
                               stock.Text("product") + std::string(44, ' ') + "\r\n" +
                               std::string(15, ' ') + "already exists";
  switch (Site().ui->Choose("RecordExists", question, {"Update", "Update All", "Cancel"}, "")) {
    case 1:
      break;
    case 2:
      update_all_ = true;
      break;
    default:
      update = false;
  }
}

std::string clsOrvStockEx::CellText(std::string_view name, std::int32_t row) {
  bool present = false;
  return List().GetCellValue(name, row, present);
}

std::string clsOrvStockEx::PickerSearch(const Range& cell) {
  return Site().picker_search.empty() ? cell.Text() : Site().picker_search;
}

void clsOrvStockEx::BrowseNotAvailable() {
  Site().ui->MsgBox(kBrowseNotAvailable, MsgButtons::kOK, MsgIcon::kInformation, "Message");
}

bool clsOrvStockEx::BrowseAvailable(Range& Active_Cell) {
  bool available = false;
  bool done = Site().errors->Guard("BrowseAvailable of Class Module clsOrvStockEx", [&](int&) {
    view_stock_available_ = false;
    PrepareRanges();
    auto position = List().RowOfCell(Active_Cell);
    put_Index(position.row);
    const std::int32_t row = Index();
    if (!position.ok) return;
    available = position.definition->browse;
    const std::string& name = position.definition->name;
    if (name == "Warehouse" || name == "Product") {
      if (!ValueConvert::IsBlank(CellText("Product", row)) &&
          !ValueConvert::IsBlank(CellText("Warehouse", row)))
        view_stock_available_ = true;
    } else if (name == "sage_company") {
      if (!services_.Connections().CanChooseCompany()) available = false;
    }
  });
  return done && available;
}

void clsOrvStockEx::BrowseRanges(Range& Active_Cell) {
  Site().errors->Guard("BrowseRanges of Class Module clsOrvStockEx", [&](int&) {
    PrepareRanges();
    auto position = List().RowOfCell(Active_Cell);
    BrowseEngine engine;
    engine.SetRangeDefinition(position.ok ? position.definition : nullptr);
    const std::string kind = engine.BrowseKind();
    UserInterface& ui = *Site().ui;
    if (ValueConvert::IsBlank(kind)) {
      BrowseNotAvailable();
    } else if (kind == "Alternatives" || kind == "Product" || kind == "supersession") {
      BrowseStock(Active_Cell);
    } else if (kind == "Date") {
      CellBrowse::ChooseDate(ui, Active_Cell);
    } else if (kind == "company") {
      CellBrowse::ChooseCompany(ui, services_.Connections(), Active_Cell);
    } else if (kind == "bin_code") {
      // The bins of the row's warehouse; nothing to show while the row has none.
      if (!List().CellInRange("bincode", Active_Cell)) return;
      std::int32_t row = List().IndexInRange(Active_Cell, "bincode");
      bool present = false;
      std::string warehouse = List().GetCellValue("Warehouse", row, present);
      if (!present) return;
      OpenConnection();
      CellBrowse::ChooseBin(ui, services_.Connections().Connection(), warehouse,
                            PickerSearch(Active_Cell), Active_Cell);
    } else {
      OpenConnection();
      engine.SetCell(Active_Cell);
      engine.SetSageConnection(services_.Connections().Connection());
      engine.SetSearch(Site().picker_search);
      engine.Browse(ui);
    }
  });
}

void clsOrvStockEx::BrowseStock(Range& Active_Cell) {
  Site().errors->Guard("BrowseStock of Class Module clsOrvStockEx", [&](int&) {
    PrepareRanges();
    auto position = List().RowOfCell(Active_Cell);
    BrowseEngine engine;
    engine.SetRangeDefinition(position.ok ? position.definition : nullptr);
    const std::string kind = engine.BrowseKind();
    // The ranges the chosen code goes into, each with the cell's index in it.
    std::vector<std::pair<std::string, std::int32_t>> targets;
    std::int32_t index = -1;
    if (kind == "Alternatives") {
      for (int n = 1; n <= 10; ++n) {
        std::string name = fmt::format("Alternatives{:02}", n);
        if (List().CellInRange(name, Active_Cell))
          targets.emplace_back(name, List().IndexInRange(Active_Cell, name));
      }
      index = targets.empty() ? -1 : targets.front().second;
    } else if (kind == "supersession") {
      index = List().IndexInRange(Active_Cell, "SuperSession");
      targets.emplace_back("SuperSession", index);
    } else if (kind == "Product") {
      index = List().IndexInRange(Active_Cell, "Product");
    }
    if (index < 0) {
      BrowseNotAvailable();
      return;
    }
    OpenConnection();
    auto connection = services_.Connections().Connection();
    auto source = std::make_shared<StockListSource>(connection);
    UserInterface& ui = *Site().ui;
    if (kind != "Product") {
      StockBrowse browse(source, false);
      if (!Site().picker_search.empty()) browse.SetProductSearch(Site().picker_search);
      ui.ShowModal(browse);
      auto chosen = browse.ChosenStock();
      if (chosen.empty()) return;
      for (const auto& [name, row] : targets)
        List().SetCellValue(name, chosen.front().first + chosen.front().second, row);
      return;
    }
    StockBrowse browse(source, true);
    browse.SetProductSearch(PickerSearch(Active_Cell));
    ui.ShowModal(browse);
    if (!browse.OKSelected()) return;
    auto chosen = browse.ChosenStock();
    clsOrvStockTables& tables = Tables();
    tables.UseMarkers = false;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      const std::int32_t row = index + static_cast<std::int32_t>(i);
      if (row > List().RangeRowCount("Product")) {
        ui.MsgBox(kTooManyRows, MsgButtons::kOK, MsgIcon::kExclamation, "");
        return;
      }
      tables.FromWarehouse = chosen[i].first;
      tables.FromProduct = chosen[i].second;
      tables.ToWarehouse.clear();
      tables.ToProduct.clear();
      std::string no_page;
      std::string sql = CheckRangeExists(no_page);
      Recordset records;
      records.Open(sql, connection->AdoConnection());
      if (!records.Eof()) CopyRecordToRow(records, row);
      records.Close();
    }
  });
}

void clsOrvStockEx::ViewStock(Range& Active_Cell) {
  BrowseAvailable(Active_Cell);
  if (!view_stock_available_) {
    Site().errors->Report(AppError(vbObjectError, "ViewStock of Class Module clsOrvStockEx",
                                   "View Stock not available for this cell"));
    return;
  }
  OpenConnection();
  StockView view(std::make_shared<StockViewSource>(services_.Connections().Connection()));
  view.SetWarehouse(ValueConvert::Trim(CellText("Warehouse", Index())));
  view.SetProduct(ValueConvert::Trim(CellText("Product", Index())));
  view.Show(*Site().ui);
}

void clsOrvStockEx::EnterOptions() {
  Site().errors->Guard("EnterOptions of Class Module clsOrvStockEx", [&](int&) {
    Options().LoadFromRegistry(true);
    frmOrvStockExOptions dialog;
    dialog.SetOptions(services_.Options());
    Site().ui->ShowModal(dialog);
    if (dialog.OKSelected()) Options().SaveToRegistry();
  });
}

}  // namespace orv
