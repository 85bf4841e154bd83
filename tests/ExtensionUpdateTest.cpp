#include <gtest/gtest.h>

#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "tests/DatabaseFixture.h"
#include "upload/clsOrvStock.h"

namespace orv::test {
namespace {

// The extension row as the upload writes it for one sheet row.
class ExtensionUpdateTest : public DatabaseTest {
 protected:
  std::shared_ptr<DataConnection> Open() {
    scratch_ = std::make_unique<ScratchDatabase>(GetParam());
    auto connection = OpenEmpty(7);
    stock_.SetSageConnection(connection);
    stock_.SetText("warehouse", "01");
    stock_.SetText("product", "P1");
    return connection;
  }

  // The stored row's six values joined by '|', or "none".
  std::string Stored(DataConnection& connection) {
    Recordset row;
    row.Open(
        "select analysis_d, analysis_e, analysis_f, delivery_qty_tol, call_off_qty_tol, "
        "consumer_unit from scheme.stockxpgm where warehouse = '01' and product = 'P1'",
        connection.AdoConnection());
    if (row.Eof()) return "none";
    std::string joined;
    for (std::size_t i = 0; i < row.FieldCount(); ++i)
      joined += (i ? "|" : "") + row.FieldValue(i).ToText();
    return joined;
  }

  clsOrvStock stock_;
};

TEST_P(ExtensionUpdateTest, OnlyAnalysisDWritesANewRowWithTheOthersEmpty) {
  auto connection = Open();
  stock_.SetIs("AnalysisD", true);
  stock_.SetText("AnalysisD", "GRP-D");
  stock_.SetText("AnalysisE", "ignored: not on the sheet");
  stock_.StockUpdateXpgm();
  EXPECT_EQ(Stored(*connection), "GRP-D|||||");
}

TEST_P(ExtensionUpdateTest, ANewRowWithAllSixBlankIsNotWritten) {
  auto connection = Open();
  stock_.SetIs("AnalysisD", true);
  stock_.SetIs("ConsumerUnit", true);
  stock_.SetText("AnalysisD", "  ");
  stock_.StockUpdateXpgm();
  EXPECT_EQ(Stored(*connection), "none");
}

TEST_P(ExtensionUpdateTest, NothingOnTheSheetTouchesNothing) {
  auto connection = Open();
  stock_.SetText("AnalysisD", "X");
  stock_.StockUpdateXpgm();
  EXPECT_EQ(Stored(*connection), "none");
}

TEST_P(ExtensionUpdateTest, AnExistingRowKeepsWhatTheSheetDoesNotCarryAndTakesTheTolerance) {
  auto connection = Open();
  connection->AdoConnection()->Execute(
      "insert into scheme.stockxpgm (warehouse, product, analysis_d, analysis_e, analysis_f, "
      "delivery_qty_tol, call_off_qty_tol, consumer_unit) values ('01', 'P1', 'D0', 'E0', 'F0', "
      "'5', '7', 'BOX')");
  stock_.SetIs("AnalysisE", true);
  stock_.SetText("AnalysisE", "E1");
  stock_.SetIs("DeliveryQtyTolerance", true);
  stock_.SetText("DeliveryQtyTolerance", "12.5");
  stock_.StockUpdateXpgm();
  EXPECT_EQ(Stored(*connection), "D0|E1|F0|12.5|7|BOX");
}

INSTANTIATE_TEST_SUITE_P(Databases, ExtensionUpdateTest, AllBackends(), BackendName);

}  // namespace
}  // namespace orv::test
