#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "records/clsStockXpgm.h"
#include "records/clsStprexD.h"
#include "records/clsSttechD.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "tests/DatabaseFixture.h"

namespace orv::test {
namespace {

using ::testing::HasSubstr;

class CompanionRecordsTest : public DatabaseTest {
 protected:
  std::shared_ptr<DataConnection> Open(int version) {
    scratch_ = std::make_unique<ScratchDatabase>(GetParam());
    return OpenEmpty(version);
  }
};

void FillPage(clsSttechD& page, const std::string& product, const std::string& number) {
  page.Reset();
  page.warehouse = "01";
  page.product = product;
  page.page_number = number;
  page.spare = " spare ";
  for (std::size_t i = 0; i < page.text.size(); ++i)
    page.text[i] = "  line " + std::to_string(i + 1) + " of " + product + "  ";
}

TEST_P(CompanionRecordsTest, TechnicalDescriptionPagesInsertReadUpdateAndDelete) {
  auto connection = Open(7);
  const std::string& table = connection->TableCatalogue().TechnicalDescription();
  clsSttechD page;
  page.SetSageConnection(connection);
  FillPage(page, "O'BRIEN", "001");
  page.InsertRow();
  FillPage(page, "O'BRIEN", "002");
  page.InsertRow();
  FillPage(page, "OTHER", "001");
  page.InsertRow();

  clsSttechD read;
  read.SetSageConnection(connection);
  read.warehouse = "01";
  read.product = "O'BRIEN";
  read.page_number = "002";
  read.ReadIt();
  EXPECT_EQ(read.spare, " spare ");
  EXPECT_EQ(read.text[0], "  line 1 of O'BRIEN  ");
  EXPECT_EQ(read.text[11], "  line 12 of O'BRIEN  ");

  read.text[4] = "changed";
  read.text[11] = "";
  read.UpdateRow();
  FillPage(read, "O'BRIEN", "002");
  read.ReadIt();
  EXPECT_EQ(read.text[4], "changed");
  EXPECT_EQ(read.text[11], "");
  EXPECT_EQ(read.text[3], "  line 4 of O'BRIEN  ");

  // Null lines read as empty lines.
  connection->AdoConnection()->Execute("update " + table +
                                       " set text07 = NULL, spare = NULL where product = 'OTHER'");
  FillPage(read, "OTHER", "001");
  read.ReadIt();
  EXPECT_EQ(read.text[6], "");
  EXPECT_EQ(read.spare, "");
  EXPECT_EQ(read.text[7], "  line 8 of OTHER  ");

  // The apostrophe in the key is doubled in the delete: only that page goes.
  FillPage(read, "O'BRIEN", "001");
  read.DeleteRow();
  EXPECT_EQ(Count(*connection, table), 2);
  EXPECT_EQ(Count(*connection, table + " where product = 'O''BRIEN' and page_number = '002'"), 1);
  // A key that would widen the delete if it were pasted in unquoted deletes nothing.
  read.product = "X' or '1'='1";
  read.DeleteRow();
  EXPECT_EQ(Count(*connection, table), 2);
  // A delete of a missing page is not reported.
  read.page_number = "999";
  EXPECT_NO_THROW(read.DeleteRow());
}

TEST_P(CompanionRecordsTest, MissingTechnicalDescriptionPageFailsNamingTheKey) {
  auto connection = Open(6);
  clsSttechD page;
  page.SetSageConnection(connection);
  FillPage(page, "P1", "003");
  page.InsertRow();
  page.page_number = "004";
  page.text[0] = "unsaved";
  AppError error = Caught([&] { page.ReadIt(); });
  EXPECT_EQ(error.Number(), -2147221504);
  EXPECT_EQ(error.Description(),
            "Stock record not found for warehouse:01 Product:P1 Page Number: 004");
  EXPECT_THAT(error.Source(), HasSubstr("ReadIt of Class Module clsSttechD Line#:40"));
  EXPECT_EQ(page.page_number, "004");
  EXPECT_EQ(page.text[0], "unsaved");
  EXPECT_EQ(page.text[1], "  line 2 of P1  ");

  // A duplicate page is an error of InsertRow.
  page.page_number = "003";
  error = Caught([&] { page.InsertRow(); });
  EXPECT_THAT(error.Source(), HasSubstr("InsertRow of Class Module clsSttechD Line#:30"));
}

TEST_P(CompanionRecordsTest, ExtensionRowInsertReadAndItsErrors) {
  auto connection = Open(7);
  const std::string& table = connection->TableCatalogue().StockExtension();
  clsStockXpgm row;
  row.SetSageConnection(connection);
  row.Set("warehouse", "01");
  row.Set("product", "P1 ");
  row.Set("analysis_d", "D1");
  row.Set("analysis_e", " E1 ");
  row.Set("analysis_f", "F1");
  row.Set("delivery_qty_tol", "5%");
  row.Set("call_off_qty_tol", "10");
  row.Set("consumer_unit", "BOX");
  row.InsertRow();
  EXPECT_THROW(row.InsertRow(), AppError);

  // Blanks around values and in the key are kept.
  clsStockXpgm read;
  read.SetSageConnection(connection);
  read.Set("warehouse", "01");
  read.Set("product", "P1 ");
  read.ReadIt();
  EXPECT_EQ(read.Get("analysis_e"), " E1 ");
  EXPECT_EQ(read.Get("call_off_qty_tol"), "10");
  EXPECT_EQ(read.Get("consumer_unit"), "BOX");

  // Null columns read as blank.
  connection->AdoConnection()->Execute("update " + table + " set consumer_unit = NULL");
  read.ReadIt();
  EXPECT_EQ(read.Get("consumer_unit"), "");

  // A missing row fails with base + 5001 and leaves the values.
  read.Set("product", "P1");
  AppError error = Caught([&] { read.ReadIt(); });
  EXPECT_EQ(error.Number(), vbObjectError + 5001);
  EXPECT_EQ(error.Description(), "Cannot find Product P1");
  EXPECT_EQ(read.Get("analysis_d"), "D1");
  // Too long for its column: an error of the update.
  read.Set("product", "P1 ");
  read.Set("analysis_f", "ELEVEN CHRS");
  error = Caught([&] { read.UpdateStockXPg(); });
  EXPECT_THAT(error.Source(), HasSubstr("UpdateStockXPg of Class Module clsStockXpgm"));
}

TEST_P(CompanionRecordsTest, ExpenseRowByWarehouseAndProductOrCombinedKey) {
  for (int version : {5, 6, 7}) {
    auto connection = Open(version);
    const std::string& table = connection->TableCatalogue().StockExpense();
    clsStprexD expense;
    expense.SetSageConnection(connection);
    expense.warehouse = "01";
    expense.product = "P1";
    expense.expense = "KEEP";
    EXPECT_FALSE(expense.ReadIt()) << version;
    EXPECT_EQ(expense.expense, "KEEP");
    expense.expense = "EXP1";
    expense.InsertRow();
    expense.product = "P2";
    expense.expense = "EXP2";
    expense.InsertRow();
    EXPECT_THROW(expense.InsertRow(), AppError) << version;
    EXPECT_EQ(
        Count(*connection, table + (version >= 6 ? " where warehouse = '01' and product = 'P1'"
                                                 : " where whproduct = '01P1'")),
        1)
        << version;

    expense.product = "P1";
    expense.expense = "";
    ASSERT_TRUE(expense.ReadIt()) << version;
    EXPECT_EQ(expense.expense, "EXP1");
    expense.expense = "EXP9";
    expense.UpdateRow();
    expense.expense = "";
    ASSERT_TRUE(expense.ReadIt());
    EXPECT_EQ(expense.expense, "EXP9");
    expense.product = "P2";
    ASSERT_TRUE(expense.ReadIt());
    EXPECT_EQ(expense.expense, "EXP2") << version;
  }
}

INSTANTIATE_TEST_SUITE_P(Databases, CompanionRecordsTest, AllBackends(), BackendName);

}  // namespace
}  // namespace orv::test
