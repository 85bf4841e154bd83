// What an upload run keeps of the database's answers must stay what the database would answer:
// after the run's own writes, and after they are undone to a savepoint (as a check does each row).

#include <gtest/gtest.h>

#include <string>

#include "records/StockdColumns.h"
#include "records/clsStockd.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/db/SavepointGuard.h"
#include "tests/DatabaseFixture.h"
#include "upload/StockRunLookups.h"

namespace orv::test {
namespace {

class RunLookupsTest : public DatabaseTest {};

TEST_P(RunLookupsTest, BinsAskedAgainAfterTheirCreationIsUndone) {
  auto connection = OpenDemo(7);
  StockRunLookups lookups(connection);
  int asked = 0;
  auto subscription = lookups.bins.BinMissing.Subscribe(
      [&](const std::string&, const std::string&, bool& create, bool&) {
        ++asked;
        create = true;
      });
  auto& ado = *connection->AdoConnection();
  connection->BeginTrans();
  {
    SavepointGuard row(ado);
    lookups.bins.Check("01", "NEW-BIN");
    // Created now: asking again must neither ask the owner nor add the bin a second time.
    lookups.bins.Check("01", "NEW-BIN");
    EXPECT_EQ(asked, 1);
    row.Rollback();
  }
  lookups.bins.Check("01", "NEW-BIN");
  EXPECT_EQ(asked, 2) << "the bin was undone with its row: it is missing again";
  lookups.bins.Check("02", "NEW-BIN");
  EXPECT_EQ(asked, 3) << "another warehouse's bin is another bin";
  connection->RollbackTrans();
  EXPECT_EQ(Count(*connection, connection->TableCatalogue().Bins() + " where bin_code = 'NEW-BIN'"),
            0);
}

TEST_P(RunLookupsTest, StockCodesFollowTheRunsInsertsAndUndos) {
  auto connection = OpenDemo(7);
  StockRunLookups lookups(connection);
  Recordset first;
  first.Open("select warehouse, product from " + connection->TableCatalogue().StockMaster() +
                 " order by warehouse, product",
             connection->AdoConnection());
  const std::string warehouse = first.Fields("warehouse").ToText();
  const std::string product = first.Fields("product").ToText();
  first.Close();
  EXPECT_TRUE(lookups.StockCodeExists(warehouse + product));
  EXPECT_FALSE(lookups.StockCodeExists(warehouse + "ADDED"));

  auto& ado = *connection->AdoConnection();
  connection->BeginTrans();
  {
    SavepointGuard row(ado);
    clsStockd stock;
    stock.SetSageConnection(connection);
    ASSERT_TRUE(stock.ReadIt(warehouse, product));
    stock.SetValue(StockdColumns::kProduct, Variant(std::string("ADDED")));
    stock.InsertRow();
    lookups.StockRecordAdded();
    EXPECT_TRUE(lookups.StockCodeExists(warehouse + "ADDED")) << "added earlier in the run";
    row.Rollback();
  }
  EXPECT_FALSE(lookups.StockCodeExists(warehouse + "ADDED")) << "its addition was undone";
  EXPECT_TRUE(lookups.StockCodeExists(warehouse + product));
  connection->RollbackTrans();
}

INSTANTIATE_TEST_SUITE_P(Databases, RunLookupsTest, AllBackends(), BackendName);

}  // namespace
}  // namespace orv::test
