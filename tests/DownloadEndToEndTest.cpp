// The stock download end to end: the stock component driven as the host drives it, on a demo
// company in SQLite and PostgreSQL, writing into a real .xlsx workbook that openpyxl reads back.
// Expected values come from the database by queries of these tests, never from the download.

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <set>

#include "shell/outside/base/OleCalendar.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/xlsx/AreaReference.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "tests/ComponentRun.h"
#include "tests/DatabaseFixture.h"
#include "tests/RangeColumns.h"
#include "tests/RangeDump.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::CellRead;
using test::Key;
using test::RangeCells;

constexpr const char* kNotFound = "  Not Found In Database";
constexpr const char* kTooMany = "Warning - too many rows of data for the size of ranges defined";
constexpr const char* kConfirmClear = "Confirm cleardown of data on sheet?";
const std::vector<std::string> kKeyRanges = {"Warehouse", "Product", "Description"};

class DownloadTest : public test::DemoCompanyTest {
 protected:
  void SetUp() override {
    DemoCompanyTest::SetUp();
    if (IsSkipped()) return;
    OpenDemoCompany(ErpVersion(), 20);
  }

  virtual int ErpVersion() const { return 7; }

  // Every range of the catalogue on the sheet; the values of each range against the database,
  // with records edited to hit the blank, date and tolerance rules.
  void CheckEveryRange();

  std::filesystem::path Template(const std::vector<std::string>& picks, int rows,
                                 const std::string& name = "stock.xlsx") {
    auto path = scratch_->Folder() / name;
    test::StockWorkbook(path, picks, rows, ErpVersion());
    return path;
  }

  // ExtractStock as the host runs it; `edit` may change the opened workbook first, `after` sees
  // the component after the download, its connection still open.
  test::RunResult Download(const std::filesystem::path& path, std::deque<std::string> answers,
                           const std::string& active_cell = "",
                           const std::function<void(Workbook&)>& edit = {},
                           const std::function<void(_clsOrvStockEx&)>& after = {}) {
    test::HostSetup setup;
    setup.companies_file = companies_file_;
    setup.company = "DEMO";
    setup.active_cell = active_cell;
    setup.edit = edit;
    return test::RunStock(
        path, std::move(answers),
        [&](_clsOrvStockEx& stock, Workbook&) {
          stock.ExtractStock();
          if (after) after(stock);
        },
        setup);
  }

  // The sheet's warehouse and product of rows 1 to `rows`.
  static std::vector<Key> SheetKeys(const RangeCells& cells, std::size_t rows) {
    std::vector<Key> keys;
    for (std::size_t i = 0; i < rows && i < cells.at("Product").size(); ++i)
      keys.emplace_back(cells.at("Warehouse")[i].text, cells.at("Product")[i].text);
    return keys;
  }

  RangeCells Read(const std::filesystem::path& path) {
    return test::ReadRanges(scratch_->Folder(), path);
  }
};

std::deque<std::string> Selection(std::vector<std::string> fields, const std::string& placement,
                                  std::vector<std::string> after = {}) {
  std::deque<std::string> answers = {"chkSelectRngs=0"};
  for (auto& field : fields) answers.push_back(field);
  answers.push_back(placement);
  answers.push_back("cmdOK");
  for (auto& answer : after) answers.push_back(answer);
  return answers;
}

TEST_P(DownloadTest, ExactlyAsManyRecordsAsRowsGiveNoWarningOneMoreDoes) {
  auto expected = Keys("warehouse = '01'");
  ASSERT_EQ(expected.size(), 10u);
  auto exact = Template(kKeyRanges, 10, "exact.xlsx");
  auto run = Download(exact, Selection({"txtWarehouseFrom=01"}, "optAppend"));
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), kTooMany), 0) << run.Output();
  EXPECT_EQ(SheetKeys(Read(exact), 10), expected);

  // Appending to the full sheet: nothing fits, which is said, and the sheet keeps its rows.
  run = Download(exact, Selection({"txtWarehouseFrom=02"}, "optAppend"));
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), kTooMany), 1) << run.Output();
  EXPECT_EQ(SheetKeys(Read(exact), 10), expected);

  auto short_of_one = Template(kKeyRanges, 9, "short.xlsx");
  run = Download(short_of_one, Selection({"txtWarehouseFrom=01"}, "optAppend"));
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), kTooMany), 1) << run.Output();
  EXPECT_EQ(SheetKeys(Read(short_of_one), 9),
            std::vector<Key>(expected.begin(), expected.begin() + 9))
      << "the rows written before the warning are kept";
}

// A range shorter than the others grows over the empty cells below it and stops at a cell the user
// typed into: the download ends there with the too-many-rows warning, a refresh names the row it
// cannot write, and the typed cell is never overwritten.
TEST_P(DownloadTest, AShortRangeGrowsOnlyOverEmptyCells) {
  auto path = Template(kKeyRanges, 10);
  auto shorten = [](Workbook& workbook) {
    auto description = *workbook.NamedRange("Description");
    AreaReference five{description.Sheet().Name(), description.Row(), description.Column(),
                       description.Row() + 4, description.Column()};
    workbook.Document().SetDefinedName("Description", five.ToFormula());
    description.Cells(7, 1).SetValue(Variant("typed below the range"));
  };
  auto in_01 = Keys("warehouse = '01'");
  ASSERT_EQ(in_01.size(), 10u);
  auto run = Download(path, Selection({"txtWarehouseFrom=01"}, "optClear", {"OK"}), "", shorten);
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), kTooMany), 1) << run.Output();
  auto cells = Read(path);
  EXPECT_EQ(SheetKeys(cells, 7), [&] {
    std::vector<Key> keys(in_01.begin(), in_01.begin() + 6);
    keys.emplace_back("", "");
    return keys;
  }()) << "six rows fit: five in the range and one grown over an empty cell";
  ASSERT_EQ(cells["Description"].size(), 6u);
  EXPECT_FALSE(cells["Description"][5].Empty());
  auto typed = [&] { return Workbook::Open(path)->NamedRange("Description")->Cells(7, 1).Text(); };
  EXPECT_EQ(typed(), "typed below the range");

  auto seventh = [&](Workbook& workbook) {
    workbook.NamedRange("Warehouse")->Cells(7, 1).SetValue(Variant(in_01[6].first));
    workbook.NamedRange("Product")->Cells(7, 1).SetValue(Variant(in_01[6].second));
  };
  run = Download(path, {"chkSelectRngs=1", "cmdOK"}, "", seventh);
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_THAT(run.Output(), HasSubstr("Row 7 (" + in_01[6].first + " " + in_01[6].second +
                                      ") was not refreshed: range 'Description' cannot grow over"));
  EXPECT_THAT(run.Output(), HasSubstr("6 rows refreshed, 0 not found, 1 failed"));
  EXPECT_EQ(typed(), "typed below the range");
}

TEST_P(DownloadTest, AppendGoesBelowTheLastFilledRowAndAtCellStartsAtItsRow) {
  auto path = Template(kKeyRanges, 40);
  auto in_02 = Keys("warehouse = '02'");
  auto in_03 = Keys("warehouse = '03'");
  // On an empty sheet the append starts at row 1.
  auto run = Download(path, Selection({"txtWarehouseFrom=02"}, "optAppend"));
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(SheetKeys(Read(path), in_02.size()), in_02);

  run = Download(path, Selection({"txtWarehouseFrom=03"}, "optAppend"));
  EXPECT_EQ(run.errors, 0) << run.Output();
  auto cells = Read(path);
  auto both = in_02;
  both.insert(both.end(), in_03.begin(), in_03.end());
  EXPECT_EQ(SheetKeys(cells, both.size()), both);
  EXPECT_TRUE(cells["Product"][both.size()].Empty());

  // The active cell in the fifth data row of the Description column.
  auto workbook = Workbook::Open(path);
  auto description = workbook->NamedRange("Description");
  ASSERT_TRUE(description);
  std::string fifth = description->Cells(5, 1).Address();
  fifth.erase(std::remove(fifth.begin(), fifth.end(), '$'), fifth.end());
  workbook.reset();
  run = Download(path, Selection({"txtWarehouseFrom=01", "txtWarehouseTo=01"}, "optAppendCurrent"),
                 fifth);
  EXPECT_EQ(run.errors, 0) << run.Output() << fifth;
  auto in_01 = Keys("warehouse = '01'");
  auto placed = both;
  placed.resize(4);
  placed.insert(placed.end(), in_01.begin(), in_01.end());
  EXPECT_EQ(SheetKeys(Read(path), placed.size()), placed) << "active cell " << fifth;
}

TEST_P(DownloadTest, ClearAnsweredCancelWritesNothing) {
  auto path = Template({"Warehouse", "Product", "Description", "sage_company"}, 30);
  auto all = Keys();
  ASSERT_EQ(all.size(), 20u);
  auto run = Download(path, Selection({}, "optClear", {"OK"}));
  EXPECT_EQ(SheetKeys(Read(path), 20), all);

  // The dialog cancelled: no question, nothing written.
  run = Download(path, {"txtWarehouseFrom=02", "optClear", "cmdCancel"});
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_TRUE(run.messages.empty()) << run.Output();
  EXPECT_EQ(SheetKeys(Read(path), 20), all);

  run = Download(path, Selection({"txtWarehouseFrom=02"}, "optClear", {"Cancel"}));
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), kConfirmClear), 1);
  auto in_02 = Keys("warehouse = '02'");
  auto cells = Read(path);
  EXPECT_EQ(SheetKeys(cells, 20), all) << "no new records over rows that were not cleared";

  // Answered OK the data rows are emptied; the company cell is not a data row.
  auto company = [](Workbook& workbook) {
    workbook.NamedRange("sage_company")->SetValue(Variant("demo"));
  };
  run = Download(path, Selection({"txtWarehouseFrom=02"}, "optClear", {"OK"}), "", company);
  EXPECT_EQ(run.errors, 0) << run.Output();
  cells = Read(path);
  EXPECT_EQ(cells["sage_company"][0].text, "demo");
  EXPECT_EQ(SheetKeys(cells, in_02.size()), in_02);
  for (std::size_t row = in_02.size(); row < 20; ++row) {
    EXPECT_TRUE(cells["Product"][row].Empty()) << "row " << row + 1;
    EXPECT_TRUE(cells["Description"][row].Empty()) << "row " << row + 1;
  }
}

TEST_P(DownloadTest, RefreshSkipsBlankProductRowsAndReportsAVanishedRecordOnce) {
  auto path = Template({"Warehouse", "Product", "Description", "PhysicalQty"}, 25);
  auto all = Keys();
  auto run = Download(path, Selection({}, "optClear", {"OK"}));
  ASSERT_EQ(run.errors, 0) << run.Output();

  // In the database: one record changed, one deleted. On the sheet: row 3 loses its product,
  // and the cells of row 3 and of the vanished record's row 6 are overtyped.
  const auto& changed = all[1];
  const auto& vanished = all[5];
  const std::string table = Tables().StockMaster();
  Execute(
      "update " + table +
          " set description = ?, physical_qty = ? where warehouse = ? and product = ?",
      {Variant("Changed   "), Variant(4321.0), Variant(changed.first), Variant(changed.second)});
  Execute("delete from " + table + " where warehouse = ? and product = ?",
          {Variant(vanished.first), Variant(vanished.second)});
  auto edit = [](Workbook& workbook) {
    workbook.NamedRange("Product")->Cells(3, 1).SetValue(Variant(""));
    workbook.NamedRange("Description")->Cells(3, 1).SetValue(Variant("typed on row 3"));
    workbook.NamedRange("Description")->Cells(6, 1).SetValue(Variant("typed on row 6"));
  };
  run = Download(path, {"chkSelectRngs=1", "cmdOK"}, "", edit);
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(test::Occurrences(run.Output(), "Invalid Row , Warehouse: " + vanished.first +
                                                " and Product: " + vanished.second + kNotFound),
            1u)
      << run.Output();
  EXPECT_EQ(test::Occurrences(run.Output(), kNotFound), 1u) << "no other row is reported";
  EXPECT_THAT(run.Output(), HasSubstr("18 rows refreshed, 1 not found, 0 failed"))
      << "20 rows, one without product, one vanished\n";

  auto cells = Read(path);
  EXPECT_EQ(cells["Description"][1].text, "Changed   ");
  EXPECT_EQ(cells["PhysicalQty"][1].number, 4321.0);
  EXPECT_TRUE(cells["Product"][2].Empty());
  EXPECT_EQ(cells["Description"][2].text, "typed on row 3") << "a row without product is skipped";
  EXPECT_EQ(cells["Product"][5].text, vanished.second);
  EXPECT_EQ(cells["Description"][5].text, "typed on row 6") << "a vanished record's row is kept";
  EXPECT_EQ(SheetKeys(cells, 2), std::vector<Key>(all.begin(), all.begin() + 2));
}

// A refresh by page: a page or an item that is not on file is reported (with the page number)
// and its row kept as the user typed it; a page number that cannot be read fails that row alone;
// the other rows still refresh. No cell is placed into the statement as it stands.
TEST_P(DownloadTest, RefreshKeepsRowsWhosePageIsNotOnFileOrNotANumber) {
  std::map<Key, std::vector<std::pair<std::string, std::string>>> pages;
  Recordset records;
  records.Open("select warehouse, product, page_number, text01 from " +
                   Tables().TechnicalDescription() + " order by warehouse, product, page_number",
               connection_->AdoConnection());
  for (; !records.Eof(); records.MoveNext())
    pages[{records.Fields("warehouse").ToText(), records.Fields("product").ToText()}].emplace_back(
        records.Fields("page_number").ToText(), records.Fields("text01").ToText());
  records.Close();
  auto with_pages = [&](std::size_t count) {
    for (const auto& [key, list] : pages)
      if (list.size() == count && list.front().first == "001") return key;
    return Key{};
  };
  const Key two = with_pages(2), one = with_pages(1);
  ASSERT_FALSE(two.second.empty() || one.second.empty())
      << "the demo company has items with one and with two description pages";
  ASSERT_EQ(pages[two][1].first, "002");

  // Warehouse, product, page cell and typed first line of each row.
  const std::vector<std::array<std::string, 4>> rows = {
      {two.first, two.second, "003", "typed on row 1"},  // the item is on file, page 003 is not
      {two.first, two.second, "2", "typed on row 2"},
      {one.first, one.second, "", "typed on row 3"},
      {one.first, one.second, "abc", "typed on row 4"},
      {two.first, two.second, "1", "typed on row 5"},
      {two.first, "NO-SUCH-ITEM", "7", "typed on row 6"},
      {"", "X' or 'a'='a", "", "typed on row 7"}};
  auto path = Template({"Warehouse", "Product", "PageNumber", "TEXT01"}, 7);
  auto edit = [&](Workbook& workbook) {
    for (std::uint32_t row = 1; row <= rows.size(); ++row) {
      const char* names[] = {"Warehouse", "Product", "PageNumber", "TEXT01"};
      for (std::size_t i = 0; i < 4; ++i)
        if (!rows[row - 1][i].empty())
          workbook.NamedRange(names[i])->Cells(row, 1).SetValue(Variant(rows[row - 1][i]));
    }
  };
  auto run = Download(path, {"chkSelectRngs=1", "cmdOK"}, "", edit);
  EXPECT_EQ(run.errors, 0) << run.Output();
  for (const std::string& said :
       {"Invalid Row , Warehouse: " + two.first + " and Product: " + two.second +
            " Page number: 003" + kNotFound,
        "Invalid Row , Warehouse: " + two.first + " and Product: NO-SUCH-ITEM Page number: 007" +
            kNotFound,
        "Invalid Row , Warehouse:  and Product: X' or 'a'='a" + std::string(kNotFound),
        "Row 4 (" + one.first + " " + one.second + ", page abc)",
        std::string("3 rows refreshed, 3 not found, 1 failed")})
    EXPECT_THAT(run.Output(), HasSubstr(said)) << said;

  auto cells = Read(path);
  for (std::size_t row : {0, 3, 5, 6}) {
    EXPECT_EQ(cells["Product"][row].text, rows[row][1]) << "row " << row + 1;
    EXPECT_EQ(cells["PageNumber"][row].text, rows[row][2]) << "row " << row + 1;
    EXPECT_EQ(cells["TEXT01"][row].text, rows[row][3]) << "row " << row + 1;
  }
  EXPECT_TRUE(cells["Warehouse"][6].Empty()) << "no record was written over the row";
  EXPECT_EQ(cells["PageNumber"][1].text, "002");
  EXPECT_EQ(cells["TEXT01"][1].text, pages[two][1].second);
  EXPECT_EQ(cells["PageNumber"][2].text, "001") << "a row without a page number takes any page";
  EXPECT_EQ(cells["TEXT01"][2].text, pages[one][0].second);
  EXPECT_EQ(cells["PageNumber"][4].text, "001") << "rows after a failed one are refreshed";
  EXPECT_EQ(cells["TEXT01"][4].text, pages[two][0].second);
}

TEST_P(DownloadTest, CompanionTablesAreJoinedOnlyForTheirRangesAndEachRecordComesOnce) {
  auto path = Template({"Warehouse", "Product", "AnalysisD", "Expense"}, 25);
  std::string sql;
  auto run = Download(path, Selection({}, "optClear", {"OK"}), "", {}, [&](_clsOrvStockEx& stock) {
    std::string page = "001";
    sql = stock.CheckRangeExists(page);
  });
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_THAT(sql, HasSubstr(Tables().StockExtension() + " t2"));
  EXPECT_THAT(sql, HasSubstr(Tables().StockExpense() + " t5"));
  EXPECT_FALSE(test::Contains(sql, " t3") || test::Contains(sql, " t4")) << sql;
  auto all = Keys();
  auto and_a_blank_row = all;
  and_a_blank_row.emplace_back("", "");
  EXPECT_EQ(SheetKeys(Read(path), 21), and_a_blank_row);

  // The page ranges join page 001; a record whose pages lack it is downloaded all the same.
  Recordset first;
  first.Open("select warehouse, product from " + Tables().TechnicalDescription() +
                 " where page_number = '001' order by warehouse, product",
             connection_->AdoConnection());
  ASSERT_FALSE(first.Eof()) << "the demo company has technical description pages";
  const Key moved{first.Fields("warehouse").ToText(), first.Fields("product").ToText()};
  first.Close();
  Execute("update " + Tables().TechnicalDescription() +
              " set page_number = '999' where warehouse = ? and product = ? and page_number = "
              "'001'",
          {Variant(moved.first), Variant(moved.second)});
  auto pages = Template({"Warehouse", "Product", "PageNumber", "TEXT01"}, 25, "pages.xlsx");
  run = Download(pages, Selection({}, "optClear", {"OK"}));
  EXPECT_EQ(run.errors, 0) << run.Output();
  auto cells = Read(pages);
  EXPECT_EQ(SheetKeys(cells, all.size()), all) << "every stock record once, page 001 or not";
  EXPECT_TRUE(cells["PageNumber"][std::find(all.begin(), all.end(), moved) - all.begin()].Empty());
  EXPECT_EQ(std::count_if(cells["PageNumber"].begin(), cells["PageNumber"].end(),
                          [](const CellRead& cell) { return cell.text == "001"; }),
            Count(*connection_, Tables().TechnicalDescription() + " where page_number = '001'"));
}

std::string DayText(OleDate date) {
  auto civil = OleCalendar::CivilFromDays(static_cast<long>(std::floor(date.serial)));
  return fmt::format("{:02}/{:02}/{:04}", civil.day, civil.month, civil.year);
}

double NumberOf(const CellRead& cell) {
  if (cell.kind == 'n') return cell.number;
  char* end = nullptr;
  double number = std::strtod(cell.text.c_str(), &end);
  return cell.text.empty() || *end ? std::nan("") : number;
}

// The cell shows the value of `column`: texts as they stand, numbers by value, dates as
// dd/mm/yyyy. No value (Null, the zero date, 31/12/1899 for the revaluation date, a tolerance of
// -1) shows as an empty cell, one blank or 0; which of these the rules below check on edited rows.
void ExpectShows(const CellRead& cell, const Variant& value, const std::string& column,
                 const std::string& where) {
  const bool none =
      value.IsNull() || value.IsEmpty() || (value.IsText() && value.ToText().empty()) ||
      (value.IsDate() && value.ToDate().serial <= (column == "lastrevalue" ? 1 : 0)) ||
      (column == "stocktaketoleran" && !value.IsText() && value.ToDouble() == -1);
  if (none) {
    EXPECT_TRUE(cell.Empty() || cell.text == " " || (cell.kind == 'n' && cell.number == 0))
        << where << ": " << cell;
  } else if (value.IsDate()) {
    EXPECT_EQ(cell.text, DayText(value.ToDate())) << where << ": " << cell;
  } else if (value.IsText() && cell.kind != 'n') {
    EXPECT_EQ(cell.kind, 's') << where << ": " << cell;
    EXPECT_EQ(cell.text, value.ToText()) << where;
  } else {
    const double expected = value.IsText() ? std::stod(value.ToText()) : value.ToDouble();
    EXPECT_NEAR(NumberOf(cell), expected, 1e-9 * std::max(1.0, std::fabs(expected)))
        << where << ": " << cell;
  }
}

void DownloadTest::CheckEveryRange() {
  auto all = Keys();
  auto set = [&](const std::string& assignments, std::vector<Variant> values, const Key& key) {
    values.emplace_back(key.first);
    values.emplace_back(key.second);
    Execute("update " + Tables().StockMaster() + " set " + assignments +
                " where warehouse = ? and product = ?",
            values);
  };
  set("description = ?, long_description = ?, last_revalue = ?, issue_date = ?, stock_date = ?",
      {Variant("Padded   "), Variant("  leading blanks"), Variant(OleDate{1}), Variant(OleDate{0}),
       Variant::MakeNull()},
      all[0]);
  set("supsession_date = ?, stock_take_toleran = ?, physical_qty = ?, last_revalue = ?",
      {Variant(OleDate{0}), Variant(0.0), Variant::MakeNull(), Variant(OleDate{45500})}, all[1]);
  set("supsession_date = ?, stock_date = ?, issue_date = ?",
      {Variant(OleDate{45123}), Variant(OleDate{0}), Variant::MakeNull()}, all[2]);

  auto path = Template({}, 22, "all.xlsx");
  auto run = Download(path, Selection({}, "optClear", {"OK"}));
  ASSERT_EQ(run.errors, 0) << run.Output();
  auto cells = Read(path);
  cells.erase("sage_company");
  EXPECT_EQ(cells.size(), ErpVersion() > 6 ? 189u : 186u);

  // Each record's columns by plain name: the stock master's, then its companions' (the EC and
  // expense rows are keyed by warehouse and product joined before version 6).
  std::map<std::string, std::map<std::string, Variant>> records;
  std::set<std::string> columns;
  auto read = [&](const std::string& from) {
    Recordset rows;
    rows.Open("select * from " + from, connection_->AdoConnection());
    for (std::size_t i = 0; i < rows.FieldCount(); ++i)
      columns.insert(test::Plain(rows.FieldName(i)));
    for (; !rows.Eof(); rows.MoveNext()) {
      auto& record = records[rows.HasField("whproduct") ? rows.Fields("whproduct").ToText()
                                                        : rows.Fields("warehouse").ToText() +
                                                              rows.Fields("product").ToText()];
      for (std::size_t i = 0; i < rows.FieldCount(); ++i)
        record.emplace(test::Plain(rows.FieldName(i)), rows.FieldValue(i));
    }
  };
  for (const auto& table : {Tables().StockMaster(), Tables().StockExtension(),
                            Tables().StockExpense(), Tables().StockEc()})
    read(table);
  read(Tables().TechnicalDescription() + " where page_number = '001'");

  for (std::size_t row = 0; row < all.size(); ++row) {
    const auto& record = records[all[row].first + all[row].second];
    for (const auto& [range, shown] : cells) {
      const std::string column = test::ColumnOfRange(range);
      ASSERT_TRUE(columns.count(column)) << "no column for range " << range;
      auto value = record.find(column);
      ExpectShows(
          shown.at(row), value == record.end() ? Variant::MakeNull() : value->second, column,
          fmt::format("{} row {} ({} {})", range, row + 1, all[row].first, all[row].second));
    }
  }
  std::size_t companion_cells = 0;
  for (const char* range : {"AnalysisD", "Expense", "Commodity", "TEXT01"})
    for (const auto& cell : cells[range]) companion_cells += cell.Empty() ? 0 : 1;
  EXPECT_GT(companion_cells, 4u) << "the demo company has rows in every companion table";
  for (const auto& [name, column] : cells)
    for (std::size_t empty_row = all.size(); empty_row < column.size(); ++empty_row)
      EXPECT_TRUE(column[empty_row].Empty()) << name << " row " << empty_row + 1;

  // The edited records: which empty form each rule writes.
  EXPECT_EQ(cells["Description"][0].text, "Padded   ");
  EXPECT_EQ(cells["LongDescription"][0].text, "  leading blanks");
  EXPECT_EQ(cells["LastRevalue"][0].text, " ");
  EXPECT_EQ(cells["IssueDate"][0].text, " ");
  EXPECT_EQ(cells["StockDate"][0].text, " ");
  EXPECT_EQ(cells["SupsessionDate"][1].text, " ");
  EXPECT_EQ(cells["StockTakeToleran"][1].text, "0");
  EXPECT_EQ(cells["PhysicalQty"][1].kind, 'n');
  EXPECT_EQ(cells["LastRevalue"][1].text, "27/07/2024");
  EXPECT_EQ(cells["SupsessionDate"][2].text, "16/07/2023");
  EXPECT_TRUE(cells["IssueDate"][2].Empty());
}

TEST_P(DownloadTest, EveryRangeHoldsTheDatabaseValue) { CheckEveryRange(); }

INSTANTIATE_TEST_SUITE_P(Databases, DownloadTest, test::AllBackends(), test::BackendName);

// Before version 6 the EC and expense tables are joined by warehouse and product joined.
class DownloadVersion5Test : public DownloadTest {
 protected:
  int ErpVersion() const override { return 5; }
};

TEST_P(DownloadVersion5Test, EveryRangeHoldsTheDatabaseValue) { CheckEveryRange(); }

INSTANTIATE_TEST_SUITE_P(Databases, DownloadVersion5Test, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
