// The library driven through its C interface, on a document a make-believe spreadsheet program
// holds open: what reaches the document, when, and in how many calls.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "shell/_clsOrvStockEx.h"
#include "shell/outside/calc/CalcApplication.h"
#include "shell/outside/calc/CalcCallbacks.h"
#include "shell/outside/calc/CalcCells.h"
#include "shell/outside/calc/CalcDocument.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "techdesc/_clsSTTechDescEx.h"
#include "tests/DatabaseFixture.h"
#include "tests/FakeCalcHost.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::Key;
using testing::FakeCalcHost;

constexpr int kSheet = 0;
constexpr int kFirstRow = 4;  // row 1 of every column range
constexpr int kRows = 30;
constexpr const char* kConfirmClear = "Confirm cleardown of data on sheet?";

// A component on the fake document, released at the end of the scope.
struct Component {
  Component(const char* prog_id, FakeCalcHost& host)
      : made(orv_calc_create(prog_id, &host.Host())) {}
  ~Component() { orv_calc_release(made); }
  int Call(const char* member) { return orv_calc_call(made, member, &result); }
  OrvCalcComponent* made;
  const char* result = nullptr;
};

class CalcHostTest : public test::DemoCompanyTest {
 protected:
  void SetUp() override {
    DemoCompanyTest::SetUp();
    if (IsSkipped()) return;
    OpenDemoCompany(7, 20);
    // Warehouse, Product and Description side by side, LongDescription after a gap and shorter
    // than the others, the company in a header cell.
    host_.company = "DEMO";
    host_.companies_file = companies_file_.string();
    host_.Name("sage_company", {kSheet, 1, 2, 1, 2});
    host_.Name("Warehouse", {kSheet, kFirstRow, 1, kFirstRow + kRows - 1, 1});
    host_.Name("Product", {kSheet, kFirstRow, 2, kFirstRow + kRows - 1, 2});
    host_.Name("Description", {kSheet, kFirstRow, 3, kFirstRow + kRows - 1, 3});
    host_.Name("LongDescription", {kSheet, kFirstRow, 5, kFirstRow + 4, 5});
  }

  std::vector<Key> SheetKeys(int rows) {
    std::vector<Key> keys;
    for (int row = kFirstRow; row < kFirstRow + rows; ++row)
      keys.emplace_back(host_.Text(kSheet, row, 1), host_.Text(kSheet, row, 2));
    return keys;
  }
  std::string Description(const Key& key) {
    Recordset records;
    records.Open("select description from " + connection_->TableCatalogue().StockMaster() +
                     " where warehouse = '" + key.first + "' and product = '" + key.second + "'",
                 connection_->AdoConnection());
    return records.Fields("description").ToText();
  }
  // The component's ranges defined, then the member called.
  int Run(Component& component, const char* member) {
    int defined = component.Call("AddRanges");
    EXPECT_EQ(defined, 0) << Messages();
    return defined == 0 ? component.Call(member) : defined;
  }
  std::string Messages() {
    std::string all;
    for (const auto& message : host_.messages) all += message + "\n";
    return all + orv_calc_last_error();
  }

  FakeCalcHost host_;
};

TEST_P(CalcHostTest, DownloadReachesTheDocumentAtTheEndInOneBlockPerRunOfColumns) {
  Component stock(kStockProgId, host_);
  host_.Put(kSheet, kFirstRow + 20, 3, CellValue::Text("cleared first"));
  host_.answers = {"chkSelectRngs=0\ntxtWarehouseFrom=02\ntxtWarehouseTo=03\noptClear\ncmdOK",
                   "OK"};
  ASSERT_EQ(Run(stock, "ExtractStock"), 0) << Messages();

  auto expected = Keys("warehouse >= '02' and warehouse <= '03'");
  ASSERT_EQ(expected.size(), 10u);
  EXPECT_EQ(SheetKeys(10), expected);
  EXPECT_EQ(host_.Text(kSheet, kFirstRow + 3, 3), Description(expected[3]));
  EXPECT_TRUE(host_.At(kSheet, kFirstRow + 20, 3).IsBlank());
  EXPECT_FALSE(host_.Text(kSheet, kFirstRow + 9, 5).empty()) << "the short range grew";
  EXPECT_EQ(host_.grown.size(), 5u);
  EXPECT_EQ(host_.messages, std::vector<std::string>{kConfirmClear});
  EXPECT_EQ(host_.notices, std::vector<std::string>{"10 stock records written to rows 1 to 10"});
  ASSERT_FALSE(host_.progress.empty());
  EXPECT_EQ(host_.progress.back(), "<end>");

  // Every change in one step: the two blocks written (A:C, then E after the gap), and the cleared
  // rows below them, which no block covers.
  EXPECT_EQ(host_.edits, (std::vector<int>{3, 0}));
  ASSERT_EQ(host_.clears.size(), 1u);
  EXPECT_EQ(host_.clears[0].first_row, kFirstRow + 10);
  EXPECT_EQ(host_.clears[0].last_column - host_.clears[0].first_column, 2);
  ASSERT_EQ(host_.writes.size(), 2u);
  EXPECT_EQ(host_.writes[0].first_column, 1);
  EXPECT_EQ(host_.writes[0].last_column, 3);
  EXPECT_EQ(host_.writes[0].last_row - host_.writes[0].first_row, 9);
  EXPECT_EQ(host_.writes[1].first_column, 5);
}

TEST_P(CalcHostTest, RefreshReadsEachRangeWholeOnceAndRestoresTheRowsOnTheSheet) {
  auto keys = Keys();
  std::vector<Key> rows = {keys[4], keys[0], {"01", "NO-SUCH"}, keys[7]};
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    host_.Put(kSheet, kFirstRow + i, 1, CellValue::Text(rows[i].first));
    host_.Put(kSheet, kFirstRow + i, 2, CellValue::Text(rows[i].second));
    host_.Put(kSheet, kFirstRow + i, 3, CellValue::Text("edited by hand"));
  }
  Component stock(kStockProgId, host_);
  host_.answers = {"chkSelectRngs=1\ncmdOK"};
  ASSERT_EQ(Run(stock, "ExtractStock"), 0) << Messages();

  for (int i : {0, 1, 3})
    EXPECT_EQ(host_.Text(kSheet, kFirstRow + i, 3), Description(rows[i])) << "row " << i + 1;
  EXPECT_EQ(host_.Text(kSheet, kFirstRow + 2, 3), "edited by hand");
  EXPECT_EQ(SheetKeys(4), rows) << "the keys are written back as they were";
  ASSERT_EQ(host_.notices.size(), 2u);
  EXPECT_THAT(host_.notices[0], HasSubstr("Warehouse: 01 and Product: NO-SUCH"));
  EXPECT_EQ(host_.notices[1], "3 rows refreshed, 1 not found, 0 failed");
  // Thirty rows of three ranges read: a few cells, then each range whole, never cell by cell.
  EXPECT_LE(host_.reads.size(), 9u);
  EXPECT_TRUE(std::any_of(host_.reads.begin(), host_.reads.end(), [](const OrvCalcArea& a) {
    return a.last_row - a.first_row + 1 == kRows;
  }));
}

TEST_P(CalcHostTest, AFailedActionLeavesTheDocumentAsItWas) {
  host_.Put(kSheet, kFirstRow, 1, CellValue::Text("99"));
  host_.Put(kSheet, kFirstRow, 2, CellValue::Text("KEEP-ME"));
  const auto before = host_.cells;
  const std::string clear_and_download = "chkSelectRngs=0\ntxtWarehouseFrom=\noptClear\ncmdOK";
  struct Case {
    const char* what;
    std::function<void(FakeCalcHost&)> arrange;
    const char* shown;  // part of the error message
    std::vector<int> edits;
  };
  const Case cases[] = {
      {"a range that cannot grow, after rows were written",
       [](FakeCalcHost& host) { host.refuse_growth = true; },
       "the range is protected",
       {}},
      {"the spreadsheet failing to take the second block",
       [](FakeCalcHost& host) { host.fail_set_cells = 2; },
       "the sheet is protected",
       {3, -1}},
      {"a company nobody knows", [](FakeCalcHost& host) { host.company = "NOPE"; }, "NOPE", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeCalcHost host = host_;
    c.arrange(host);
    host.answers = {clear_and_download, "OK"};
    Component stock(kStockProgId, host);
    stock.Call("AddRanges");
    int outcome = stock.Call("ExtractStock");
    EXPECT_NE(outcome, 0);
    EXPECT_EQ(host.cells, before);
    EXPECT_EQ(host.edits, c.edits);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_THAT(host.messages.back(), HasSubstr(c.shown));
  }
}

TEST_P(CalcHostTest, DownloadStartsAtTheActiveCellsRowOrSaysWhyNot) {
  auto keys = Keys("warehouse = '01'");
  const std::string at_cell = "chkSelectRngs=0\ntxtWarehouseFrom=01\noptAppendCurrent\ncmdOK";
  struct Case {
    OrvCalcArea cursor;
    int first_row;      // of the ranges; 0: refused
    const char* shown;  // the refusal
  };
  const Case cases[] = {
      {{kSheet, kFirstRow + 6, 3, kFirstRow + 6, 3}, 7, ""},
      {{kSheet, 2, 2, 2, 2}, 0, "The active cell $B$2 is not in the stock ranges"},
      {{1, kFirstRow, 1, kFirstRow, 1}, 0, "The active cell $A$4 is not in the stock ranges"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first_row);
    FakeCalcHost host = host_;
    host.cursor = c.cursor;
    host.answers = {at_cell};
    Component stock(kStockProgId, host);
    int outcome = Run(stock, "ExtractStock");
    if (c.first_row == 0) {
      EXPECT_EQ(outcome, 1);
      ASSERT_FALSE(host.messages.empty());
      EXPECT_THAT(host.messages.back(), HasSubstr(c.shown));
      EXPECT_TRUE(host.writes.empty());
      continue;
    }
    ASSERT_EQ(outcome, 0) << Messages();
    EXPECT_TRUE(host.At(kSheet, kFirstRow + c.first_row - 2, 2).IsBlank());
    EXPECT_EQ(host.Text(kSheet, kFirstRow + c.first_row - 1, 2), keys.front().second);
  }
}

INSTANTIATE_TEST_SUITE_P(Databases, CalcHostTest, test::AllBackends(), test::BackendName);

TEST(CalcHost, CallsThatCannotBeMadeAreRefusedWithAReason) {
  FakeCalcHost host;
  EXPECT_EQ(orv_calc_create("No.Such.Component", &host.Host()), nullptr);
  EXPECT_THAT(std::string(orv_calc_last_error()), HasSubstr("No.Such.Component"));
  EXPECT_EQ(orv_calc_create(kStockProgId, nullptr), nullptr);

  Component tech(kTechDescProgId, host);
  ASSERT_NE(tech.made, nullptr);
  EXPECT_EQ(tech.Call("ExtractStock"), -1);
  EXPECT_THAT(std::string(orv_calc_last_error()), HasSubstr("ExtractStock is not a member"));
  EXPECT_EQ(tech.Call("NoSuchMember"), -1);
  EXPECT_EQ(orv_calc_call(nullptr, "About", nullptr), -1);
  EXPECT_EQ(tech.Call("ProgramName"), 0);
  EXPECT_STREQ(tech.result, "OrvStockTechDesc");

  // An error the host cannot even show is the caller's to tell.
  OrvCalcHost mute = host.Host();
  mute.message_box = nullptr;
  OrvCalcComponent* silent = orv_calc_create(kStockProgId, &mute);
  ASSERT_NE(silent, nullptr);
  EXPECT_EQ(orv_calc_call(silent, "ViewStock", nullptr), -1);
  EXPECT_THAT(std::string(orv_calc_last_error()), HasSubstr("show a message"))
      << orv_calc_last_error();
  orv_calc_release(silent);
}

// What a component does with the active cell (browse writes a code into it, the upload selects its
// failing row) reaches the live document: writes when the action ends, selections at once.
TEST(CalcHost, TheActiveCellReadsWritesAndSelectsOnTheLiveDocument) {
  FakeCalcHost fake;
  fake.cursor = {1, 7, 3, 7, 3};
  fake.Put(1, 7, 3, CellValue::Text("before"));
  CalcCallbacks host(fake.Host());
  auto cells = std::make_shared<CalcCells>(host);
  auto document = std::make_shared<CalcDocument>(host, cells);
  CalcApplication application(host, document);

  Range cell = application.ActiveCell();
  EXPECT_EQ(cell.Sheet().Name(), "Notes");
  EXPECT_EQ(cell.Address(), "$C$7");
  EXPECT_EQ(cell.Text(), "before");
  EXPECT_EQ(application.ActiveSheet()->SavedActiveCell().Address(), "$C$7");

  cell.SetValue(Variant(std::string("CODE-1")));
  EXPECT_EQ(cell.Text(), "CODE-1") << "read back before it is written in";
  EXPECT_EQ(fake.Text(1, 7, 3), "before");
  cell.SelectEntireRow();
  EXPECT_EQ(fake.selections, (std::vector<std::tuple<int, int, int>>{{1, 7, 7}}));
  cells->Commit();
  EXPECT_EQ(fake.Text(1, 7, 3), "CODE-1");
  EXPECT_TRUE(fake.writes.size() == 1 && fake.writes[0].first_row == 7);
}

}  // namespace
}  // namespace orv
