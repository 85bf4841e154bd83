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
namespace {

std::string ValueText(const Variant& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) return fmt::format("s{}:{}", v.size(), v);
        if constexpr (std::is_same_v<T, double>) return fmt::format("d{}", v);
        if constexpr (std::is_same_v<T, std::int32_t>) return fmt::format("i{}", v);
        if constexpr (std::is_same_v<T, bool>) return v ? "T" : "F";
        if constexpr (std::is_same_v<T, OleDate>) return fmt::format("t{}", v.serial);
        if constexpr (std::is_same_v<T, Variant::Null>) return "N";
        return "E";
      },
      value.Value());
}

}  // namespace

std::string DumpCompany(const std::shared_ptr<Connection>& connection) {
  const bool sqlite = connection->Target().kind == DatabaseTarget::Kind::SQLite;
  Recordset tables;
  tables.Open(sqlite ? "select name from scheme.sqlite_master where type = 'table' and name not "
                       "like 'sqlite%' order by name"
                     : "select table_name as name from information_schema.tables where "
                       "table_schema = 'scheme' order by table_name",
              connection);
  std::vector<std::string> names;
  for (; !tables.Eof(); tables.MoveNext()) names.push_back(tables.Fields("name").ToText());
  std::ostringstream dump;
  for (const auto& name : names) {
    Recordset columns;
    columns.Open("select * from scheme." + name + " where 1 = 0", connection);
    std::string order;
    for (std::size_t i = 1; i <= columns.FieldCount(); ++i)
      order += (i > 1 ? ", " : "") + std::to_string(i);
    Recordset rows;
    rows.Open("select * from scheme." + name + " order by " + order, connection);
    dump << "table " << name << '\n';
    for (; !rows.Eof(); rows.MoveNext()) {
      for (std::size_t i = 0; i < rows.FieldCount(); ++i)
        dump << (i ? "|" : "") << ValueText(rows.FieldValue(i));
      dump << '\n';
    }
  }
  return dump.str();
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::istringstream left(expected), right(actual);
  std::string table, a, b;
  for (int line = 1;; ++line) {
    bool more_left = static_cast<bool>(std::getline(left, a));
    bool more_right = static_cast<bool>(std::getline(right, b));
    if (!more_left && !more_right) return "";
    if (more_left && a.rfind("table ", 0) == 0) table = a;
    if (!more_left || !more_right || a != b)
      return fmt::format("line {} ({}): expected \"{}\", got \"{}\"", line, table,
                         more_left ? a : "(end)", more_right ? b : "(end)");
  }
}

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
  DatabaseTest::SetUp();
  if (IsSkipped()) return;
  connection_ = OpenDemo(7, CompanyRows());
  CompaniesFile companies;
  companies.Register({"DEMO", "Demo company", scratch_->Target().location}, true);
  companies_file_ = scratch_->Folder() / "companies.toml";
  companies.Save(companies_file_);
}

std::vector<RangeDefinition> StockCatalogue() {
  auto catalogue = std::make_shared<XlsxRangeList>();
  clsOrvStockRanges ranges;
  ranges.SetRangeList(catalogue);
  ranges.DefineRanges();
  ranges.DefineVersion7Ranges();
  return WorkbookTemplate::Select(catalogue->Definitions(), {});
}

std::filesystem::path StockWorkbookTest::Template(int rows, const std::string& name) {
  auto path = scratch_->Folder() / name;
  StockWorkbook(path, {}, rows, 7, kStockProgId);
  return path;
}

StockRun StockWorkbookTest::Run(const std::filesystem::path& workbook,
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
  const RunResult result = RunStock(
      workbook, std::move(answers), [&](_clsOrvStockEx& stock, Workbook&) { action(stock); },
      setup);
  return {result.Output(), result.errors, result.failures, result.unused_answers,
          result.changed && result.errors == 0};
}

StockRun StockWorkbookTest::DownloadAll(const std::filesystem::path& workbook) {
  return Run(workbook,
             {"chkSelectRngs=0", "txtWarehouseFrom=", "txtWarehouseTo=", "txtProdFrom=",
              "txtProdTo=", "optClear", "cmdOK", "OK"},
             [](_clsOrvStockEx& stock) { stock.ExtractStock(); });
}

StockRun StockWorkbookTest::UploadAll(const std::filesystem::path& workbook,
                                      std::shared_ptr<FaultPlan> faults) {
  return Run(
      workbook, {}, [](_clsOrvStockEx& stock) { stock.UploadStock(); },
      {{"frmPostConfirm", "cmdOk"},
       {"RecordExists", "UpdateAll"},
       {"frmConfirmContinue", "cmdYesToAll"},
       {"frmGroupContinue", "cmdBtnYesToAll"}},
      std::move(faults));
}

StockRun StockWorkbookTest::CheckAll(const std::filesystem::path& workbook) {
  upload_check_ = true;
  auto run = UploadAll(workbook);
  upload_check_ = false;
  return run;
}

std::string StockWorkbookTest::Dump() const { return DumpCompany(connection_->AdoConnection()); }

}  // namespace orv::test
