// Browsing a cell and viewing a stock record: the stock component driven as the host drives it,
// on a demo company in SQLite and PostgreSQL, over a real .xlsx workbook. Expected values come
// from queries of these tests, never from the browse code.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "browse/SqlListSource.h"
#include "browse/StockListSource.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/ui/PickList.h"
#include "shell/outside/ui/StockView.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "tests/ComponentRun.h"
#include "tests/DatabaseFixture.h"
#include "tests/RangeDump.h"

namespace orv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using Row = RowSource::Row;

constexpr const char* kSorry = "Sorry! browse not available for this cell";
constexpr const char* kTooMany = "Warning - too many rows of data for the size of ranges defined";
constexpr int kRows = 6;

using Action = std::function<void(_clsOrvStockEx&, Workbook&)>;
using test::Contains;

class BrowseTest : public test::DemoCompanyTest {
 protected:
  void SetUp() override {
    DemoCompanyTest::SetUp();
    if (IsSkipped()) return;
    OpenDemoCompany(7, 40);
    path_ = scratch_->Folder() / "stock.xlsx";
    test::StockWorkbook(
        path_,
        {"Warehouse", "Product", "Description", "bincode", "UnitCode", "AnalysisA", "AnalysisXRef",
         "Supplier", "StockVatType", "Packaging", "Expense", "ReplenishCategory", "LastRevalue",
         "SuperSession", "Alternatives01", "Alternatives02", "PhysicalQty", "sage_company"},
        kRows, 7, kStockProgId);
  }

  test::RunResult Act(std::deque<std::string> answers, const Action& action) {
    test::HostSetup setup;
    setup.companies_file = companies_file_;
    setup.company = "DEMO";
    return test::RunStock(path_, std::move(answers), action, setup);
  }

  // BrowseRanges on the cell of `range` in data row `row`.
  test::RunResult Browse(const char* range, int row, std::deque<std::string> answers) {
    return Act(std::move(answers), [&](_clsOrvStockEx& stock, Workbook& workbook) {
      Range cell = Cell(workbook, range, row);
      stock.BrowseRanges(cell);
    });
  }

  static Range Cell(Workbook& workbook, const char* range, int row) {
    return workbook.NamedRange(range)->Cells(static_cast<std::uint32_t>(row), 1);
  }

  // Puts values into the workbook on disk.
  void Fill(const std::vector<std::tuple<const char*, int, std::string>>& cells) {
    auto workbook = Workbook::Open(path_);
    for (const auto& [range, row, text] : cells)
      Cell(*workbook, range, row).SetValue(Variant(text));
    workbook->Save();
  }

  std::string Text(const char* range, int row) {
    auto workbook = Workbook::Open(path_);
    return Cell(*workbook, range, row).Text();
  }

  std::vector<Row> Query(const std::string& sql) {
    Recordset records;
    records.Open(sql, connection_->AdoConnection());
    std::vector<Row> rows;
    for (; !records.Eof(); records.MoveNext()) {
      Row row;
      for (std::size_t i = 0; i < records.FieldCount(); ++i)
        row.push_back(DataConnection::NullToText(records.FieldValue(i)));
      rows.push_back(std::move(row));
    }
    return rows;
  }

  std::string Table(const std::string& name) {
    return std::string(TableCatalogue::kOwner) + "." + name;
  }

  std::filesystem::path path_;
};

TEST_P(BrowseTest, ACellWithoutABrowseSaysSorryAndChangesNothing) {
  const std::vector<std::pair<std::string, Action>> cells = {
      {"a cell outside every range",
       [](_clsOrvStockEx& stock, Workbook& workbook) {
         Range cell = workbook.Sheet(0)->Cells(200, 40);
         EXPECT_FALSE(stock.BrowseAvailable(cell));
         stock.BrowseRanges(cell);
       }},
      {"a range without a browse",
       [](_clsOrvStockEx& stock, Workbook& workbook) {
         Range cell = Cell(workbook, "Description", 2);
         EXPECT_FALSE(stock.BrowseAvailable(cell));
         stock.BrowseRanges(cell);
       }},
      {"the stock browse of a warehouse cell", [](_clsOrvStockEx& stock, Workbook& workbook) {
         Range cell = Cell(workbook, "Warehouse", 2);
         stock.BrowseStock(cell);
       }}};
  for (const auto& [what, action] : cells) {
    SCOPED_TRACE(what);
    auto run = Act({"pick=EA", "cmdOK"}, action);
    EXPECT_EQ(run.messages, std::vector<std::string>{kSorry});
    EXPECT_THAT(run.notices, HasSubstr("[Message]"));
    EXPECT_EQ(run.errors, 0) << run.notices;
    EXPECT_TRUE(run.shown.empty());
    EXPECT_FALSE(run.changed);
  }
}

TEST_P(BrowseTest, EveryCodeListIsReadFromItsTable) {
  struct List {
    const char* range;
    std::string codes;    // the list's codes, by a query of this test
    std::string foreign;  // a code of another list
  };
  const std::vector<List> lists = {
      {"Warehouse", "select warehouse from " + Table("stkwhm"), "EA"},
      {"UnitCode", "select unit_code from " + Table("stkunitm"), "FAST"},
      {"AnalysisA", "select product_group from " + Table("stkpgm"), "EA"},
      {"AnalysisXRef", "select analysis_x_ref from " + Table("stglxrm"), "P01"},
      {"Supplier", "select supplier from " + Table("plsuppm"), "JSMITH"},
      {"StockVatType", "select code from " + Table("syscodem") + " where code_type = '005'",
       "CARTON"},
      {"Packaging", "select code from " + Table("syscodem") + " where code_type = '019'", "S"},
      {"Expense", "select exp_rev_code from " + Table("expcodem"), "MIN"},
      {"ReplenishCategory", "select replenish_category from " + Table("strpctm"), "MAINT"},
  };
  for (const auto& list : lists) {
    SCOPED_TRACE(list.range);
    auto codes = Query(list.codes);
    ASSERT_GE(codes.size(), 3u);
    std::sort(codes.begin(), codes.end());
    // The last code, so that a list cut to its first rows cannot offer it.
    const std::string last = codes.back().front();
    auto run = Browse(list.range, 3, {"pick=" + last, "cmdOK"});
    EXPECT_EQ(run.errors, 0) << run.notices;
    ASSERT_EQ(run.shown.size(), 1u);
    EXPECT_THAT(run.shown[0], HasSubstr(codes.front().front()));
    EXPECT_EQ(Text(list.range, 3), last);

    run = Browse(list.range, 3, {"pick=" + list.foreign, "cmdOK"});
    EXPECT_EQ(run.errors, 1) << "a code of another list is refused";
    EXPECT_EQ(Text(list.range, 3), last);
  }
}

TEST_P(BrowseTest, ACancelledCodeListLeavesTheCell) {
  Fill({{"UnitCode", 1, "EA"}});
  for (const std::deque<std::string>& answers :
       {std::deque<std::string>{"pick=BOX", "cmdCancel"}, {"pick=BOX", "close"}, {}}) {
    auto run = Browse("UnitCode", 1, answers);
    EXPECT_EQ(run.errors, 0) << run.notices;
    EXPECT_FALSE(run.changed);
    EXPECT_EQ(Text("UnitCode", 1), "EA");
  }
  auto run = Browse("UnitCode", 1, {"txtSearch=pack", "pick=BOX", "cmdOK"});
  EXPECT_EQ(run.errors, 0) << run.notices;
  EXPECT_EQ(Text("UnitCode", 1), "BOX");
  // The search kept to codes or descriptions holding it, whatever its case.
  EXPECT_THAT(run.shown[0], HasSubstr("Pack of 10"));
  EXPECT_THAT(run.shown[0], Not(HasSubstr("Each")));
}

TEST_P(BrowseTest, TheBinListShowsTheBinsOfTheRowsWarehouseOnly) {
  Fill({{"bincode", 2, "A04"}, {"Warehouse", 2, "02"}, {"Warehouse", 3, "O'"}});
  // No warehouse in the row: nothing is shown and nothing asked.
  auto run = Browse("bincode", 1, {"pick=A01-01", "cmdOK"});
  EXPECT_TRUE(run.shown.empty());
  EXPECT_TRUE(run.messages.empty());
  EXPECT_EQ(run.unused_answers, 2u);
  EXPECT_EQ(Text("bincode", 1), "");

  // The list opens on the bins that start with the cell's text.
  run = Browse("bincode", 2, {"cmdCancel"});
  ASSERT_EQ(run.shown.size(), 1u);
  EXPECT_THAT(run.shown[0], HasSubstr("A04-03"));
  EXPECT_THAT(run.shown[0], Not(HasSubstr("A03-01")));
  EXPECT_THAT(run.shown[0], Not(HasSubstr("QUAR")));

  run = Browse("bincode", 2, {"pick=QUAR", "cmdOK"});
  EXPECT_EQ(run.errors, 1) << "QUAR is a bin of warehouse RT";
  EXPECT_EQ(Text("bincode", 2), "A04");
  run = Browse("bincode", 2, {"pick=A01-02", "cmdOK"});
  EXPECT_EQ(run.errors, 0) << run.notices;
  EXPECT_EQ(Text("bincode", 2), "A01-02");

  // An apostrophe in the warehouse is a value like any other.
  run = Browse("bincode", 3, {"cmdOK"});
  EXPECT_EQ(run.errors, 0) << run.notices;
  ASSERT_EQ(run.shown.size(), 1u);
  EXPECT_THAT(run.shown[0], HasSubstr("(nothing matches)"));
  EXPECT_EQ(Text("bincode", 3), "");
}

TEST_P(BrowseTest, ThreeProductsFromTheLastButOneRowDownloadTwoAndWarn) {
  auto records = Query("select warehouse, product, description, physical_qty from " +
                       Table("stockm") + " where product like 'BOLT%' order by warehouse, product");
  ASSERT_GE(records.size(), 3u);
  Fill({{"Product", kRows - 1, "BOLT"}});
  auto pick = [](const Row& record) { return "pick=" + record[0] + " " + record[1]; };
  auto run =
      Browse("Product", kRows - 1, {pick(records[2]), pick(records[0]), pick(records[1]), "cmdOK"});
  EXPECT_EQ(run.errors, 0) << run.notices;
  EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), kTooMany), 1) << run.notices;
  // The browse opened on the products starting with the cell's text.
  ASSERT_EQ(run.shown.size(), 1u);
  EXPECT_THAT(run.shown[0], HasSubstr(records[0][1]));
  EXPECT_THAT(run.shown[0], Not(HasSubstr("NUT-")));

  auto cells = test::ReadRanges(scratch_->Folder(), path_);
  for (int i = 0; i < 2; ++i) {
    const Row& record = records[i == 0 ? 2 : 0];
    const std::size_t at = kRows - 2 + i;
    EXPECT_EQ(cells["Warehouse"][at].text, record[0]) << at;
    EXPECT_EQ(cells["Product"][at].text, record[1]) << at;
    EXPECT_EQ(cells["Description"][at].text, record[2]) << at;
    EXPECT_EQ(cells["PhysicalQty"][at].number, std::stod(record[3])) << at;
  }
  EXPECT_TRUE(cells["Product"][kRows - 3].Empty());
}

TEST_P(BrowseTest, AlternativesAndSupersessionTakeWarehouseFollowedByProduct) {
  auto records =
      Query("select warehouse, product from " + Table("stockm") + " order by warehouse, product");
  ASSERT_GE(records.size(), 2u);
  // A product code with a blank in it is still one product.
  connection_->AdoConnection()->Execute("update " + Table("stockm") +
                                            " set product = 'WASH M8 X' where warehouse = ? and "
                                            "product = ?",
                                        {Variant(records[1][0]), Variant(records[1][1])});
  auto run = Browse("Alternatives02", 2, {"pick=" + records[0][0] + " " + records[0][1], "cmdOK"});
  EXPECT_EQ(run.errors, 0) << run.notices;
  EXPECT_EQ(Text("Alternatives02", 2), records[0][0] + records[0][1]);
  EXPECT_EQ(Text("Alternatives01", 2), "");

  run = Browse("SuperSession", 4, {"pick=" + records[1][0] + " WASH M8 X", "cmdOK"});
  EXPECT_EQ(run.errors, 0) << run.notices;
  EXPECT_EQ(Text("SuperSession", 4), records[1][0] + "WASH M8 X");
}

TEST_P(BrowseTest, ADateChosenLandsAsADate) {
  auto run = Browse("LastRevalue", 1, {"pick=05/03/2024", "cmdOK"});
  EXPECT_EQ(run.errors, 0) << run.notices;
  auto cells = test::ReadRanges(scratch_->Folder(), path_);
  EXPECT_EQ(cells["LastRevalue"][0].kind, 'd') << cells["LastRevalue"][0];
  EXPECT_EQ(cells["LastRevalue"][0].text, "05/03/2024");

  // The picker opens on the cell's month: 1 March 2024 was a Friday.
  run = Browse("LastRevalue", 1, {"cmdCancel"});
  ASSERT_EQ(run.shown.size(), 1u);
  EXPECT_THAT(run.shown[0], HasSubstr("March 2024"));
  EXPECT_THAT(run.shown[0], HasSubstr("\n" + std::string(16, ' ') + " 1  2  3\n"));
  EXPECT_FALSE(run.changed);

  run = Browse("LastRevalue", 2, {"pick=31/02/2024", "cmdOK"});
  EXPECT_EQ(run.errors, 1) << run.notices;
  EXPECT_EQ(Text("LastRevalue", 2), "");
}

TEST_P(BrowseTest, TheCompanyCellOffersTheCompaniesOfTheFile) {
  auto run = Act({"pick=DEMO", "cmdOK"}, [](_clsOrvStockEx& stock, Workbook& workbook) {
    Range cell = *workbook.NamedRange("sage_company");
    EXPECT_TRUE(stock.BrowseAvailable(cell));
    stock.BrowseRanges(cell);
  });
  EXPECT_EQ(run.errors, 0) << run.notices;
  EXPECT_EQ(Text("sage_company", 1), "DEMO");
  run = Browse("sage_company", 1, {"pick=ELSEWHERE", "cmdOK"});
  EXPECT_THAT(run.notices, HasSubstr("not a company of the list"));
  EXPECT_EQ(Text("sage_company", 1), "DEMO");
}

TEST_P(BrowseTest, ViewStockNeedsAWarehouseAndAProductInTheRow) {
  auto record = Query("select warehouse, product, description, physical_qty from " +
                      Table("stockm") + " order by product desc")
                    .front();
  Fill({{"Product", 1, record[1]},
        {"Warehouse", 2, record[0]},
        {"Product", 2, record[1]},
        {"Warehouse", 3, "01"},
        {"Product", 3, "NO-SUCH-PRODUCT"}});
  const std::vector<std::pair<std::string, std::function<Range(Workbook&)>>> unavailable = {
      {"no warehouse in the row", [](Workbook& w) { return Cell(w, "Product", 1); }},
      {"a cell outside the stock ranges", [](Workbook& w) { return w.Sheet(0)->Cells(300, 2); }},
      {"a range other than warehouse and product",
       [](Workbook& w) { return Cell(w, "Description", 2); }}};
  for (const auto& [what, cell_of] : unavailable) {
    SCOPED_TRACE(what);
    auto run = Act({}, [&](_clsOrvStockEx& stock, Workbook& workbook) {
      Range cell = cell_of(workbook);
      stock.ViewStock(cell);
      EXPECT_FALSE(stock.ViewStockAvailable());
    });
    EXPECT_EQ(run.errors, 1);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_THAT(run.messages[0], HasSubstr("View Stock not available for this cell"));
    EXPECT_THAT(run.messages[0], HasSubstr("-2147221504"));
  }

  auto run = Act({}, [](_clsOrvStockEx& stock, Workbook& workbook) {
    Range cell = Cell(workbook, "Warehouse", 2);
    stock.ViewStock(cell);
    EXPECT_TRUE(stock.ViewStockAvailable());
  });
  EXPECT_EQ(run.errors, 0) << run.notices;
  EXPECT_THAT(run.summary, HasSubstr("Description: "));
  EXPECT_THAT(run.summary, HasSubstr(record[2] + "\n"));
  EXPECT_THAT(run.summary, HasSubstr("Physical:"));
  EXPECT_THAT(run.summary, HasSubstr(" " + Variant(std::stod(record[3])).ToText() + "\n"));
  EXPECT_FALSE(run.changed);

  Act({}, [](_clsOrvStockEx& stock, Workbook& workbook) {
    Range cell = Cell(workbook, "Product", 3);
    AppError error = test::Caught([&] { stock.ViewStock(cell); });
    EXPECT_EQ(error.Number(), StockView::kNoRecord);
  });
}

// The lists page through the database: every row once, in key order, whatever the page size.
TEST_P(BrowseTest, ListsPageThroughEveryRowAndSearchAsTyped) {
  auto execute = [&](const std::string& sql) { connection_->AdoConnection()->Execute(sql); };
  execute("update " + Table("stockm") +
          " set description = 'Half 50% off' where product like 'NUT-M6%'");
  execute("update " + Table("stockm") +
          " set description = 'Shelf_A bracket' where product like 'SAW%'");
  auto all = Query("select warehouse, product, description from " + Table("stockm"));
  std::sort(all.begin(), all.end());

  auto walk = [&](const std::vector<std::string>& search) {
    PickList list("lstRows", "Stock", "", std::make_shared<StockListSource>(connection_), true, 7);
    list.Search(search);
    std::vector<Row> seen;
    for (;;) {
      EXPECT_EQ(list.FirstNumber(), seen.size() + 1);
      for (const auto& row : list.PageRows()) seen.push_back({row[0], row[1], row[2]});
      if (!list.HasNextPage()) break;
      list.NextPage();
    }
    return seen;
  };
  auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  struct Search {
    std::vector<std::string> texts;
    std::function<bool(const Row&)> matches;
  };
  const std::vector<Search> searches = {
      {{}, [](const Row&) { return true; }},
      {{"02"}, [](const Row& r) { return r[0] == "02"; }},
      {{"", "WASH"}, [](const Row& r) { return r[1].starts_with("WASH"); }},
      {{"", "wash"}, [](const Row&) { return false; }},
      {{"01", "B"}, [](const Row& r) { return r[0] == "01" && r[1].starts_with("B"); }},
      {{"", "", "NUT"}, [&](const Row& r) { return Contains(lower(r[2]), "nut"); }},
      {{"", "", "%"}, [](const Row& r) { return Contains(r[2], "%"); }},
      {{"", "", "f_A"}, [](const Row& r) { return Contains(r[2], "f_A"); }},
      {{"", "", "lf_"}, [](const Row& r) { return Contains(r[2], "lf_"); }},
  };
  for (const auto& search : searches) {
    SCOPED_TRACE(::testing::PrintToString(search.texts));
    std::vector<Row> expected;
    std::copy_if(all.begin(), all.end(), std::back_inserter(expected), search.matches);
    EXPECT_EQ(walk(search.texts), expected);
  }

  // Back a page, and choosing by number on the page shown.
  PickList list("lstRows", "Stock", "", std::make_shared<StockListSource>(connection_), true, 7);
  list.Search({});
  list.NextPage();
  list.NextPage();
  list.PreviousPage();
  EXPECT_EQ(list.FirstNumber(), 8u);
  EXPECT_EQ(list.PageRows().front()[1], all[7][1]);
  list.ChooseNumber(9);
  list.ChooseNumber(10);
  list.ChooseNumber(9);
  ASSERT_EQ(list.Chosen().size(), 1u) << "choosing again takes the row back";
  EXPECT_EQ(list.Chosen().front()[1], all[9][1]);
  EXPECT_THROW(list.ChooseNumber(1), AppError);
  EXPECT_THROW(list.ChooseNumber(15), AppError);

  // A statement's list pages by position: bin codes repeat across warehouses, none is lost.
  auto bins = Query("select bin_code, warehouse from " + Table("stbinm"));
  std::sort(bins.begin(), bins.end());
  PickList bin_list("lstRows", "Bins", "",
                    std::make_shared<SqlListSource>(
                        connection_, "select warehouse, bin_code from " + Table("stbinm"),
                        std::vector<Variant>{}, "bin_code"),
                    false, 10);
  bin_list.Search({});
  std::vector<Row> seen;
  for (;;) {
    for (const auto& row : bin_list.PageRows()) seen.push_back(row);
    if (!bin_list.HasNextPage()) break;
    bin_list.NextPage();
  }
  EXPECT_EQ(seen, bins);
}

INSTANTIATE_TEST_SUITE_P(Databases, BrowseTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
