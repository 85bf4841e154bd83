#include "tests/StockRunFixture.h"

#include <fmt/format.h>

#include <cctype>
#include <sstream>

#include "ranges/clsOrvStockRanges.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookTemplate.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "tests/ComponentRun.h"

namespace orv::test {

std::optional<NamedRow> FindNamedRow(std::string_view text, std::string_view after) {
  const std::string opening = std::string(after) + "sheet row ";
  const auto at = text.find(opening);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view line = text.substr(at + opening.size());
  line = line.substr(0, line.find('\n'));
  NamedRow row;
  std::size_t digits = 0;
  while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
  const auto warehouse = line.find(" (warehouse ");
  const auto product = line.find(", product ");
  const auto close = line.find(')', product);
  if (digits == 0 || warehouse != digits || product == std::string_view::npos ||
      close == std::string_view::npos)
    return std::nullopt;
  row.sheet_row = static_cast<std::uint32_t>(std::stoul(std::string(line.substr(0, digits))));
  row.warehouse = line.substr(warehouse + 12, product - warehouse - 12);
  row.product = line.substr(product + 10, close - product - 10);
  row.rest = line.substr(close + 1);
  return row;
}

SheetEdit::SheetEdit(const std::filesystem::path& path) : workbook_(Workbook::Open(path)) {}

Variant SheetEdit::Get(const std::string& range, std::uint32_t row) const {
  return workbook_->NamedRange(range)->Cells(row, 1).Value();
}

void SheetEdit::Set(const std::string& range, std::uint32_t row, const Variant& value) {
  workbook_->NamedRange(range)->Cells(row, 1).SetValue(value);
}

std::uint32_t SheetEdit::FirstRow(const std::string& range) const {
  return workbook_->NamedRange(range)->Row();
}

std::vector<std::string> SheetEdit::RangesWithRow(std::uint32_t row) const {
  std::vector<std::string> names;
  for (const auto& defined : workbook_->Names()) {
    auto range = workbook_->NamedRange(defined.name);
    if (range && range->RowCount() >= row && defined.name != "sage_company")
      names.push_back(defined.name);
  }
  return names;
}

void SheetEdit::Save() { workbook_->Save(); }

void EditForUpload(const std::filesystem::path& workbook, int on_file, int added) {
  SheetEdit sheet(workbook);
  for (std::uint32_t row = 1; row <= static_cast<std::uint32_t>(on_file); row += 2) {
    sheet.Set("Description", row, Variant(fmt::format("Edited {}", row)));
    sheet.Set("LongDescription", row, Variant(fmt::format("Edited long description {}", row)));
    if (sheet.Get("PageNumber", row).ToText().empty()) sheet.Set("PageNumber", row, Variant("1"));
    sheet.Set("TEXT01", row, Variant(fmt::format("Edited line of row {}", row)));
    // A commodity code needs the record's other EC details.
    if (!sheet.Get("StatisticsInd", row).ToText().empty())
      sheet.Set("Commodity", row, Variant(fmt::format("C{:06}", row)));
    sheet.Set("Expense", row, Variant("PROJ-100"));
  }
  const auto first_new = static_cast<std::uint32_t>(on_file + 1);
  const auto ranges = sheet.RangesWithRow(first_new + static_cast<std::uint32_t>(added) - 1);
  for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(added); ++i) {
    const std::uint32_t from = 1 + (i * 3) % static_cast<std::uint32_t>(on_file);
    for (const auto& range : ranges) sheet.Set(range, first_new + i, sheet.Get(range, from));
    sheet.Set("Product", first_new + i, Variant(fmt::format("NEW-{:04}", i)));
  }
  sheet.Save();
}

void StockWorkbookTest::SetUp() {
  DemoCompanyTest::SetUp();
  if (IsSkipped()) return;
  OpenDemoCompany(7, CompanyRows());
}

std::vector<RangeDefinition> StockCatalogue() {
  auto catalogue = std::make_shared<XlsxRangeList>();
  clsOrvStockRanges ranges;
  ranges.SetRangeList(catalogue);
  ranges.DefineWorkbookRanges(7);
  return WorkbookTemplate::Select(catalogue->Definitions(), {});
}

std::filesystem::path StockWorkbookTest::Template(int rows, const std::string& name) {
  auto path = scratch_->Folder() / name;
  StockWorkbook(path, {}, rows, 7, kStockProgId);
  return path;
}

RunResult StockWorkbookTest::Run(const std::filesystem::path& workbook,
                                 std::deque<std::string> answers,
                                 const std::function<void(_clsOrvStockEx&)>& action,
                                 const std::map<std::string, std::string>& standing,
                                 std::shared_ptr<FaultPlan> faults) {
  HostSetup setup;
  setup.companies_file = companies_file_;
  setup.company = "DEMO";
  setup.upload_check = upload_check_;
  setup.save_after_error = false;
  setup.standing = standing;
  setup.database_faults = std::move(faults);
  return RunStock(
      workbook, std::move(answers), [&](_clsOrvStockEx& stock, Workbook&) { action(stock); },
      setup);
}

RunResult StockWorkbookTest::DownloadAll(const std::filesystem::path& workbook) {
  return Run(workbook,
             {"chkSelectRngs=0", "txtWarehouseFrom=", "txtWarehouseTo=", "txtProdFrom=",
              "txtProdTo=", "optClear", "cmdOK", "OK"},
             [](_clsOrvStockEx& stock) { stock.ExtractStock(); });
}

RunResult StockWorkbookTest::UploadAll(const std::filesystem::path& workbook,
                                       std::shared_ptr<FaultPlan> faults) {
  return Run(
      workbook, {}, [](_clsOrvStockEx& stock) { stock.UploadStock(); },
      {{"frmPostConfirm", "cmdOk"},
       {"RecordExists", "UpdateAll"},
       {"frmConfirmContinue", "cmdYesToAll"},
       {"frmGroupContinue", "cmdBtnYesToAll"}},
      std::move(faults));
}

RunResult StockWorkbookTest::CheckAll(const std::filesystem::path& workbook) {
  upload_check_ = true;
  auto run = UploadAll(workbook);
  upload_check_ = false;
  return run;
}

}  // namespace orv::test
