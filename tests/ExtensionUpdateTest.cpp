#include <gtest/gtest.h>

#include <functional>

#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "tests/DatabaseFixture.h"
#include "upload/clsOrvStock.h"

namespace orv::test {
namespace {

class ExtensionUpdateTest : public DatabaseTest {};

// The extension row as the upload writes it for one sheet row: only the fields on the sheet, a
// new row only when one of them holds something, an existing row keeping the rest.
TEST_P(ExtensionUpdateTest, OnlyTheFieldsOnTheSheetAreWrittenAndABlankNewRowIsNot) {
  auto connection = OpenEmpty(7);
  auto update = [&](const std::function<void(clsOrvStock&)>& sheet) {
    clsOrvStock stock;
    stock.SetSageConnection(connection);
    stock.SetText("warehouse", "01");
    stock.SetText("product", "P1");
    sheet(stock);
    stock.StockUpdateXpgm();
    Recordset row;
    row.Open(
        "select analysis_d, analysis_e, analysis_f, delivery_qty_tol, call_off_qty_tol, "
        "consumer_unit from scheme.stockxpgm where warehouse = '01' and product = 'P1'",
        connection->AdoConnection());
    if (row.Eof()) return std::string("none");
    std::string joined;
    for (std::size_t i = 0; i < row.FieldCount(); ++i)
      joined += (i ? "|" : "") + row.FieldValue(i).ToText();
    return joined;
  };
  EXPECT_EQ(update([](clsOrvStock& stock) { stock.SetText("AnalysisD", "X"); }), "none")
      << "nothing on the sheet";
  EXPECT_EQ(update([](clsOrvStock& stock) {
              stock.SetIs("AnalysisD", true);
              stock.SetIs("ConsumerUnit", true);
              stock.SetText("AnalysisD", "  ");
            }),
            "none")
      << "a new row with all six blank";
  EXPECT_EQ(update([](clsOrvStock& stock) {
              stock.SetIs("AnalysisD", true);
              stock.SetText("AnalysisD", "GRP-D");
              stock.SetText("AnalysisE", "ignored: not on the sheet");
            }),
            "GRP-D|||||");
  connection->AdoConnection()->Execute(
      "update scheme.stockxpgm set analysis_e = 'E0', analysis_f = 'F0', delivery_qty_tol = '5', "
      "call_off_qty_tol = '7', consumer_unit = 'BOX'");
  EXPECT_EQ(update([](clsOrvStock& stock) {
              stock.SetIs("AnalysisE", true);
              stock.SetText("AnalysisE", "E1");
              stock.SetIs("DeliveryQtyTolerance", true);
              stock.SetText("DeliveryQtyTolerance", "12.5");
            }),
            "GRP-D|E1|F0|12.5|7|BOX");
}

INSTANTIATE_TEST_SUITE_P(Databases, ExtensionUpdateTest, AllBackends(), BackendName);

}  // namespace
}  // namespace orv::test
