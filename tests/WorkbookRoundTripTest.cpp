#include <gtest/gtest.h>

#include "ranges/clsOrvStockRanges.h"
#include "records/DemoDatabase.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookTemplate.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "tests/WorkbookFixtures.h"
#include "upload/clsOrvStock.h"

namespace orv {
namespace {

// A stock record downloaded into a real workbook, saved, reopened and loaded back as the upload
// reads it: what the user did not touch comes back as the database holds it.
class WorkbookRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    auto target = DatabaseTarget::Parse((folder_ / "company.db").string());
    DemoDatabase::Create(target, {7, 3, false});
    connection_.Open(target, "RT");
    connection_.AdoConnection()->Execute(
        "update scheme.stockm set long_description = ?, weight = ?, last_revalue = ?, "
        "alternatives02 = ?, description = ? where warehouse = ? and product = ?",
        {Variant("  Padded both sides  "), Variant(2.125), Variant(OleDate{45292}),
         Variant("ALT 2 "), Variant("Trailing  "), Variant(Warehouse()), Variant(Product())});
  }

  std::string First(const char* column) {
    Recordset records;
    records.Open("select " + std::string(column) + " from scheme.stockm order by 1",
                 connection_.AdoConnection());
    return records.Fields(column).ToText();
  }
  std::string Warehouse() { return First("warehouse"); }
  std::string Product() {
    Recordset records;
    records.Open("select product from scheme.stockm where warehouse = ? order by product",
                 connection_.AdoConnection(), {Variant(First("warehouse"))});
    return records.Fields("product").ToText();
  }

  // The catalogue of a version-7 stock workbook over `list`.
  static void Define(clsOrvStockRanges& ranges, const std::shared_ptr<XlsxRangeList>& list) {
    ranges.SetRangeList(list);
    ranges.DefineRanges();
    ranges.DefineVersion7Ranges();
    ranges.SetDateFormatter(&DataConnection::DateToText);
    ranges.SetSageVersion(7);
  }

  orv::test::ScratchFolder folder_;
  DataConnection connection_;
};

TEST_F(WorkbookRoundTrip, ACopiedRecordLoadsBackAsTheDatabaseHoldsIt) {
  auto path = folder_ / "stock.xlsx";
  {
    auto catalogue = std::make_shared<XlsxRangeList>();
    clsOrvStockRanges definitions;
    Define(definitions, catalogue);
    WorkbookTemplate::Options options;
    options.rows = 4;
    WorkbookTemplate::Create(path, WorkbookTemplate::Select(catalogue->Definitions(), {}), options);
  }
  {
    auto workbook = Workbook::Open(path);
    auto list = std::make_shared<XlsxRangeList>(workbook);
    clsOrvStockRanges ranges;
    Define(ranges, list);
    Recordset record;
    record.Open(
        "select t1.*, t1.warehouse wh, t1.product pd from scheme.stockm t1 where warehouse = ? "
        "and product = ?",
        connection_.AdoConnection(), {Variant(Warehouse()), Variant(Product())});
    ASSERT_FALSE(record.Eof());
    ranges.CopyRSToCells(record, 3);
    workbook->Save();
  }
  auto workbook = Workbook::Open(path);
  auto list = std::make_shared<XlsxRangeList>(workbook);
  clsOrvStockRanges ranges;
  Define(ranges, list);
  auto stock = std::make_shared<clsOrvStock>();
  ranges.SetOrvStock(stock);
  ranges.SetIndex(3);
  ranges.LoadWarehouseAndProduct();
  ranges.LoadDetail();

  EXPECT_EQ(stock->Text("warehouse"), Warehouse());
  EXPECT_EQ(stock->Text("product"), Product());
  EXPECT_EQ(stock->Text("LongDescription"), "  Padded both sides  ");
  EXPECT_EQ(stock->Text("description"), "Trailing  ");
  EXPECT_DOUBLE_EQ(stock->Number("weight"), 2.125);
  EXPECT_TRUE(stock->Is("LastRevalue"));
  EXPECT_DOUBLE_EQ(stock->Number("LastRevalue"), 45292);
  stock->ArrayIndex(2);
  EXPECT_EQ(stock->Text("Alternatives"), "ALT 2 ");
  EXPECT_EQ(stock->Text("UnitCode"), First("unit_code"));

  std::int32_t row = 2;
  bool present = false;
  EXPECT_EQ(list->GetCellValue("Product", row, present), "") << "the row above was never written";
}

}  // namespace
}  // namespace orv
