// `orvstock browse`, `view`, `clear` and `options` through the real executable, on a demo company
// in a SQLite file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "tests/HostRunner.h"
#include "tests/RangeDump.h"
#include "tests/TestSupport.h"
#include "tests/WorkbookFixtures.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::RunHost;

class HostBrowseTest : public ::testing::Test {
 protected:
  // Warehouse 01's records downloaded into a workbook of twelve rows: data from row 4 (after the
  // company cell and the headings), Warehouse in A, Product in B, Description in C, Stock unit in
  // D.
  void SetUp() override {
    auto demo = RunHost(Config() + " demo-db '" + database_.string() + "' --rows 40");
    ASSERT_EQ(demo.status, 0) << demo.output;
    auto made = RunHost("template '" + workbook_.string() +
                        "' Warehouse Product Description bincode UnitCode sage_company --rows 12");
    ASSERT_EQ(made.status, 0) << made.output;
    auto extract = Run("extract", "--from-warehouse 01 --clear");
    ASSERT_EQ(extract.status, 0) << extract.output;
  }

  std::string Config() const { return "--config '" + companies_.string() + "'"; }
  test::HostResult Run(const std::string& command, const std::string& arguments) {
    return RunHost(Config() + " " + command + " '" + workbook_.string() + "' " + arguments);
  }
  test::RangeCells Cells() { return test::ReadRanges(folder_.Path(), workbook_); }

  test::ScratchFolder folder_;
  std::filesystem::path database_ = folder_ / "demo.db";
  std::filesystem::path companies_ = folder_ / "companies.toml";
  std::filesystem::path workbook_ = folder_ / "stock.xlsx";
};

TEST_F(HostBrowseTest, BrowseWritesThePickAndSavesOnlyWhatChanged) {
  {
    auto workbook = Workbook::Open(workbook_);
    workbook->NamedRange("Warehouse")->Cells(9, 1).SetValue(Variant(std::string()));
    workbook->Save();
  }
  const std::string before = test::ReadBytes(workbook_);
  // Nothing written: the file is left as it was, byte for byte.
  auto run = Run("browse", "--cell H40");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Sorry! browse not available for this cell"));
  run = Run("browse", "--cell E5");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("nobody answered"));
  EXPECT_EQ(test::ReadBytes(workbook_), before);
  run = Run("browse", "--cell E5 --pick NOSUCH");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr("'NOSUCH' is not in the list"));
  EXPECT_EQ(test::ReadBytes(workbook_), before);

  // A bin cell whose row has no warehouse shows no list: the pick is never taken.
  run = Run("browse", "--cell D12 --pick A01-01");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr("nothing was written"));
  EXPECT_EQ(test::ReadBytes(workbook_), before);

  run = Run("browse", "--cell E5 --pick ROL");
  EXPECT_EQ(run.status, 0) << run.output;
  auto cells = Cells();
  EXPECT_EQ(cells["UnitCode"][1].text, "ROL");

  // Two records from the last row but one of a Product range of twelve rows.
  run = Run("browse",
            "--cell B14 --search WASH --pick '01 WASH-M6-0003' --pick '03 WASH-M8-0019' "
            "--pick '01 BOLT-M6-0001'");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Warning - too many rows of data"));
  cells = Cells();
  EXPECT_EQ(cells["Product"][10].text, "WASH-M6-0003");
  EXPECT_EQ(cells["Warehouse"][11].text, "03");
  EXPECT_EQ(cells["Product"][11].text, "WASH-M8-0019");
  EXPECT_EQ(cells["Description"][11].text, "Flat washer M8");
}

TEST_F(HostBrowseTest, ViewPrintsTheRecordOfTheRow) {
  DataConnection connection;
  connection.Open(DatabaseTarget::SQLiteFile(database_.string()), "DEMO");
  Recordset first;
  first.Open("select product, description, physical_qty from " +
                 connection.TableCatalogue().StockMaster() +
                 " where warehouse = '01' order by product",
             connection.AdoConnection());
  ASSERT_FALSE(first.Eof());
  auto run = Run("view", "--cell B4");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Stock 01 " + first.Fields("product").ToText()));
  EXPECT_THAT(run.output, HasSubstr(first.Fields("description").ToText()));

  run = Run("view", "--cell B30");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr("View Stock not available for this cell"));
}

TEST_F(HostBrowseTest, ClearAsksFirstAndLeavesHeadingsAndTheCompanyCell) {
  {
    auto workbook = Workbook::Open(workbook_);
    workbook->NamedRange("sage_company")->SetValue(Variant("DEMO"));
    workbook->Save();
  }
  const std::string before = test::ReadBytes(workbook_);
  auto run = Run("clear", "");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("was not cleared"));
  EXPECT_EQ(test::ReadBytes(workbook_), before);
  run = Run("clear", "--yes");
  EXPECT_EQ(run.status, 0) << run.output;
  auto cells = Cells();
  EXPECT_TRUE(cells["Product"][0].Empty());
  EXPECT_TRUE(cells["Warehouse"][9].Empty());
  EXPECT_EQ(Workbook::Open(workbook_)->Sheet(0)->At("B3").Text(), "Product") << "the heading";
  EXPECT_EQ(cells["sage_company"][0].text, "DEMO");
}

TEST_F(HostBrowseTest, OptionsShowsAndChangesTheOptions) {
  auto run = RunHost("options");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Allow update of existing records: Warn"));
  run = RunHost("options --existing-records allow --ignore-blank-cells on");
  EXPECT_EQ(run.status, 0) << run.output;
  run = RunHost("options");
  EXPECT_THAT(run.output, HasSubstr("Ignore Blank Cells ?: on"));
  EXPECT_THAT(run.output, HasSubstr("Allow update of existing records: Allow without warning"));
  run = RunHost("options --techdesc");
  EXPECT_EQ(run.output, "Ignore Blank Cells ?: off\n") << "the other component's own key";
  EXPECT_EQ(RunHost("options --techdesc --dropdowns on").status, 2);
  EXPECT_EQ(RunHost("options --existing-records sometimes").status, 2);
}

}  // namespace
}  // namespace orv
