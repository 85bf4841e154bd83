// `orvstock extract` through the real executable, on a demo company in a SQLite file.

#include <fmt/format.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "tests/HostRunner.h"
#include "tests/RangeDump.h"
#include "tests/WorkbookFixtures.h"

namespace orv {
namespace {

using test::RunHost;

class HostExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto demo = RunHost(Config() + " demo-db '" + database_.string() + "' --rows 20");
    ASSERT_EQ(demo.status, 0) << demo.output;
    auto made = RunHost("template '" + workbook_.string() +
                        "' Warehouse Product Description PhysicalQty --rows 30");
    ASSERT_EQ(made.status, 0) << made.output;
  }

  std::string Config() const { return "--config '" + companies_.string() + "'"; }

  test::ScratchFolder folder_;
  std::filesystem::path database_ = folder_ / "demo.db";
  std::filesystem::path companies_ = folder_ / "companies.toml";
  std::filesystem::path workbook_ = folder_ / "stock.xlsx";
};

TEST_F(HostExtractTest, ExtractWritesTheSelectionAndSaysHowManyRows) {
  auto run = RunHost(Config() + " extract '" + workbook_.string() +
                     "' --from-warehouse 02 --to-warehouse 03 --clear");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("10 stock records written to rows 1 to 10"), std::string::npos)
      << run.output;

  DataConnection connection;
  connection.Open(DatabaseTarget::SQLiteFile(database_.string()), "DEMO");
  Recordset records;
  records.Open("select warehouse, product, description, physical_qty from " +
                   connection.TableCatalogue().StockMaster() +
                   " where warehouse in ('02', '03') order by warehouse, product",
               connection.AdoConnection());
  auto cells = test::ReadRanges(folder_.Path(), workbook_);
  std::size_t row = 0;
  for (; !records.Eof(); records.MoveNext(), ++row) {
    EXPECT_EQ(cells["Warehouse"][row].text, records.Fields("warehouse").ToText()) << row;
    EXPECT_EQ(cells["Product"][row].text, records.Fields("product").ToText()) << row;
    EXPECT_EQ(cells["Description"][row].text, records.Fields("description").ToText()) << row;
    EXPECT_EQ(cells["PhysicalQty"][row].number, records.Fields("physical_qty").ToDouble()) << row;
  }
  EXPECT_EQ(row, 10u);
  EXPECT_TRUE(cells["Product"][10].Empty());

  // Appending the first warehouse goes below the ten rows (the last warehouse given is
  // remembered, so it is given again).
  run = RunHost(Config() + " extract '" + workbook_.string() +
                "' --from-warehouse 01 --to-warehouse 01 --append");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("10 stock records written to rows 11 to 20"), std::string::npos)
      << run.output;
  cells = test::ReadRanges(folder_.Path(), workbook_);
  EXPECT_EQ(cells["Warehouse"][10].text, "01");
  EXPECT_EQ(cells["Warehouse"][19].text, "01");
  EXPECT_EQ(cells["Warehouse"][9].text, "03");
}

TEST_F(HostExtractTest, AFirstProductAloneTakesThatProductOnly) {
  DataConnection connection;
  connection.Open(DatabaseTarget::SQLiteFile(database_.string()), "DEMO");
  std::vector<std::string> products;
  Recordset records;
  records.Open("select distinct product from " + connection.TableCatalogue().StockMaster() +
                   " order by product",
               connection.AdoConnection());
  for (; !records.Eof(); records.MoveNext()) products.push_back(records.Fields("product").ToText());
  ASSERT_GE(products.size(), 5u);
  auto count = [&](const std::string& where) {
    Recordset counted;
    counted.Open("select count(*) as n from " + connection.TableCatalogue().StockMaster() +
                     " where " + where,
                 connection.AdoConnection());
    return static_cast<int>(counted.Fields("n").ToDouble());
  };

  auto range = RunHost(Config() + " extract '" + workbook_.string() + "' --from-product " +
                       products[1] + " --to-product " + products[4] + " --clear");
  ASSERT_EQ(range.status, 0) << range.output;
  int in_range = count("product >= '" + products[1] + "' and product <= '" + products[4] + "'");
  EXPECT_NE(range.output.find(std::to_string(in_range) + " stock records written"),
            std::string::npos)
      << range.output;

  auto alone = RunHost(Config() + " extract '" + workbook_.string() + "' --from-product " +
                       products[2] + " --clear");
  ASSERT_EQ(alone.status, 0) << alone.output;
  int exact = count("product = '" + products[2] + "'");
  EXPECT_NE(
      alone.output.find(fmt::format("{} stock records written to rows 1 to {}", exact, exact)),
      std::string::npos)
      << "the product range of the last run is not kept\n"
      << alone.output;
  auto cells = test::ReadRanges(folder_.Path(), workbook_);
  EXPECT_EQ(cells["Product"][0].text, products[2]);
  EXPECT_TRUE(cells["Product"][static_cast<std::size_t>(exact)].Empty());
}

TEST_F(HostExtractTest, BadWorkbookOrUnknownCompanyExitsOneAndLeavesTheFileAsItWas) {
  const std::string before = test::ReadBytes(workbook_);
  auto missing = RunHost(Config() + " extract '" + (folder_ / "none.xlsx").string() + "' --clear");
  EXPECT_EQ(missing.status, 1) << missing.output;
  EXPECT_FALSE(std::filesystem::exists(folder_ / "none.xlsx"));

  auto garbage = folder_ / "garbage.xlsx";
  test::WriteBytes(garbage, "this is not a workbook");
  auto broken = RunHost(Config() + " extract '" + garbage.string() + "' --clear");
  EXPECT_EQ(broken.status, 1) << broken.output;
  EXPECT_EQ(test::ReadBytes(garbage), "this is not a workbook");

  auto unknown = RunHost(Config() + " --company NOSUCH extract '" + workbook_.string() +
                         "' --from-warehouse 01 --clear");
  EXPECT_EQ(unknown.status, 1) << unknown.output;
  EXPECT_NE(unknown.output.find("NOSUCH"), std::string::npos) << unknown.output;
  EXPECT_EQ(test::ReadBytes(workbook_), before) << "the workbook is not rewritten";

  auto outside = RunHost(Config() + " extract '" + workbook_.string() +
                         "' --from-warehouse 01 --at-cell Z900");
  EXPECT_EQ(outside.status, 1) << outside.output;
  EXPECT_NE(outside.output.find("$Z$900"), std::string::npos) << outside.output;
  EXPECT_EQ(test::ReadBytes(workbook_), before) << "a start cell outside the ranges";
}

TEST_F(HostExtractTest, ARefreshWithAFailedRowKeepsTheOthersAndExits1) {
  auto made = RunHost("template --replace '" + workbook_.string() +
                      "' Warehouse Product Description PageNumber --rows 30");
  ASSERT_EQ(made.status, 0) << made.output;
  ASSERT_EQ(RunHost(Config() + " extract '" + workbook_.string() +
                    "' --from-warehouse 01 --to-warehouse 01 --clear")
                .status,
            0);
  {
    auto workbook = Workbook::Open(workbook_);
    XlsxRangeList list(workbook);
    list.SetCellValue("Description", "stale", 1);
    list.SetCellValue("PageNumber", "abc", 2);
    workbook->Save();
  }
  auto run = RunHost(Config() + " extract '" + workbook_.string() + "' --only-sheet-rows");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_NE(run.output.find(", 1 failed"), std::string::npos) << run.output;
  auto cells = test::ReadRanges(folder_.Path(), workbook_);
  EXPECT_NE(cells["Description"][0].text, "stale") << "the rows refreshed are saved";
  EXPECT_EQ(cells["PageNumber"][1].text, "abc");
}

}  // namespace
}  // namespace orv
