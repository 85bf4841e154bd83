#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "records/DemoDatabase.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/db/CodeLookup.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/db/Recordset.h"
#include "tests/DatabaseFixture.h"

namespace orv::test {
namespace {

using ::testing::HasSubstr;

class DemoDatabaseTest : public DatabaseTest {
 protected:
  // A target on the backend under test that holds nothing yet.
  DatabaseTarget FreshTarget() const {
    if (GetParam() == Backend::SQLite) {
      std::filesystem::create_directories(scratch_->Folder() / "demo");
      return DatabaseTarget::SQLiteFile((scratch_->Folder() / "demo" / "company.db").string());
    }
    return scratch_->Target();
  }

  static std::vector<Recordset::Row> Rows(DataConnection& connection, const std::string& sql) {
    Recordset rows;
    rows.Open(sql, connection.AdoConnection());
    return rows.GetRows();
  }
};

TEST_P(DemoDatabaseTest, CreatesEachVersionWithItsOwnColumns) {
  for (int version : {5, 6, 7}) {
    SCOPED_TRACE(version);
    DemoDatabase::Create(FreshTarget(), {version, 30, true});
    DataConnection connection;
    connection.Open(FreshTarget(), "DEMO");
    const TableCatalogue& tables = connection.TableCatalogue();
    EXPECT_EQ(connection.SystemInfo().Version(), version);
    EXPECT_EQ(connection.SystemInfo().CostDecimalPlaces(), 2);
    EXPECT_EQ(connection.SystemInfo().DefaultUnitCode(), "EA");
    EXPECT_EQ(Count(connection, tables.StockMaster()), 30);
    EXPECT_EQ(Count(connection, tables.Warehouses()), 4);
    EXPECT_GT(Count(connection, tables.TechnicalDescription()), 0);
    EXPECT_GT(Count(connection, tables.StockExtension()), 0);
    EXPECT_GT(Count(connection, tables.StockEc()), 0);
    EXPECT_GT(Count(connection, tables.StockExpense()), 0);
    EXPECT_EQ(Count(connection, tables.SystemCodes() + " where code_type = '005'"), 4);
    EXPECT_EQ(Count(connection, tables.PurchaseUsers() + " where allow_buyer = 'N'"), 1);

    Recordset stock;
    stock.Open("select * from " + tables.StockMaster(), connection.AdoConnection());
    EXPECT_EQ(stock.FieldCount(), version >= 7 ? 191u : 188u);
    EXPECT_EQ(stock.HasField("held_flag"), version >= 7);
    Recordset ec;
    ec.Open("select * from " + tables.StockEc(), connection.AdoConnection());
    EXPECT_EQ(ec.HasField("whproduct"), version < 6);
    EXPECT_EQ(ec.HasField("warehouse"), version >= 6);
    EXPECT_EQ(ec.HasField("ecspare"), version >= 6);
    EXPECT_EQ(ec.HasField("spare"), version < 6);
    if (version < 6) {
      // The combined key joins back to the stock master by warehouse followed by product.
      EXPECT_EQ(Count(connection, tables.StockEc() + " t4 where not exists (select 1 from " +
                                      tables.StockMaster() +
                                      " t1 where t1.warehouse||t1.product = t4.whproduct)"),
                0);
    }
    bool has_categories = true;
    try {
      Recordset categories;
      categories.Open("select * from scheme.strpctm", connection.AdoConnection());
    } catch (const AppError&) {
      has_categories = false;
    }
    EXPECT_EQ(has_categories, version >= 7);
  }
}

TEST_P(DemoDatabaseTest, StockRecordsAreConsistent) {
  auto connection = OpenDemo(7, 40);
  for (const auto& row :
       Rows(*connection,
            "select standard_material, standard_labour, standard_overhead, standard_subcontra, "
            "standard_cost, price, physical_qty, allocated_qty, unit_code, description from " +
                connection->TableCatalogue().StockMaster())) {
    double sum = 0;
    for (int i = 0; i < 4; ++i) sum += row[i].ToDouble();
    EXPECT_NEAR(row[4].ToDouble(), std::round(sum * 100) / 100, 1e-9);
    EXPECT_GT(row[5].ToDouble(), row[4].ToDouble());
    EXPECT_LE(row[7].ToDouble(), row[6].ToDouble());
    EXPECT_FALSE(row[8].ToText().empty());
    EXPECT_LE(row[9].ToText().size(), 20u);
  }
  // Every code the stock records use is on file.
  const TableCatalogue& t = connection->TableCatalogue();
  const std::string stock = t.StockMaster() + " s where ";
  EXPECT_GT(Count(*connection, stock + "supersession <> ''"), 0);
  for (const std::string& orphans :
       {"supersession <> '' and supersession not in (select warehouse||product from " +
            t.StockMaster() + ")",
        "alternatives01 <> '' and alternatives01 not in (select warehouse||product from " +
            t.StockMaster() + ")",
        "unit_code not in (select unit_code from " + t.StockUnits() + ")",
        "supplier not in (select supplier from " + t.Suppliers() + ")",
        "analysis_a not in (select product_group from " + t.ProductGroups() + ")",
        "replenish_category <> '' and replenish_category not in (select replenish_category "
        "from " +
            t.ReplenishCategories() + ")"})
    EXPECT_EQ(Count(*connection, stock + orphans), 0) << orphans;
}

TEST_P(DemoDatabaseTest, SameOptionsGiveTheSameDataOnBothDatabases) {
  auto sqlite_file = (scratch_->Folder() / "reference.db").string();
  DemoDatabase::Create(DatabaseTarget::SQLiteFile(sqlite_file), {6, 25, false});
  DemoDatabase::Create(FreshTarget(), {6, 25, GetParam() == Backend::SQLite});
  DataConnection reference, built;
  reference.Open(DatabaseTarget::SQLiteFile(sqlite_file));
  built.Open(FreshTarget());
  for (std::string sql : {"select * from scheme.stockm order by warehouse, product",
                          "select * from scheme.sttechm order by warehouse, product, page_number",
                          "select * from scheme.stockem order by warehouse, product"}) {
    auto expected = Rows(reference, sql);
    auto actual = Rows(built, sql);
    ASSERT_EQ(actual.size(), expected.size()) << sql;
    for (std::size_t r = 0; r < expected.size(); ++r)
      for (std::size_t c = 0; c < expected[r].size(); ++c)
        EXPECT_EQ(actual[r][c].ToText(), expected[r][c].ToText())
            << sql << " row " << r << " column " << c;
  }
}

TEST_P(DemoDatabaseTest, RefusesToOverwriteAndRegistersTheCompany) {
  DemoDatabase::Create(FreshTarget(), {7, 5, GetParam() == Backend::SQLite});
  auto again = Caught([&] { DemoDatabase::Create(FreshTarget(), {7, 5, false}); });
  EXPECT_THAT(again.Description(), HasSubstr("already"));
  EXPECT_THROW(DemoDatabase::Create(FreshTarget(), {8, 5, true}), AppError);

  auto companies = scratch_->Folder() / "config" / "companies.toml";
  auto entry = DemoDatabase::CreateAndRegister(FreshTarget(), {5, 12, true}, companies);
  EXPECT_EQ(entry.code, "DEMO");
  ConnectionManager manager;
  manager.SetCompaniesFile(companies);
  auto connection = manager.Open();
  EXPECT_EQ(manager.OpenCompany(), "DEMO");
  EXPECT_EQ(connection->SystemInfo().Version(), 5);
  EXPECT_EQ(Count(*connection, connection->TableCatalogue().StockMaster()), 12);
}

TEST_P(DemoDatabaseTest, LookUpsFindTheReferenceCodesExactly) {
  auto connection = OpenDemo(6, 4);
  auto units = CodeLookup::Units(connection);
  auto vat = CodeLookup::SystemCodes(connection, "005");
  auto packaging = CodeLookup::SystemCodes(connection, "019");
  auto purchase = CodeLookup::PurchaseGlKeys(connection);
  auto stock = CodeLookup::StockGlXrefs(connection);
  auto suppliers = CodeLookup::Suppliers(connection);
  for (int pass = 0; pass < 2; ++pass) {  // the same prepared statements, run again
    EXPECT_TRUE(units.Exists("EA"));
    EXPECT_FALSE(units.Exists("ea"));
    EXPECT_FALSE(units.Exists("EA "));
    EXPECT_FALSE(units.Exists(""));
    EXPECT_TRUE(vat.Exists("Z"));
    EXPECT_FALSE(packaging.Exists("Z"));  // a VAT type is no packaging code
    EXPECT_TRUE(packaging.Exists("PALLET"));
    EXPECT_TRUE(purchase.Exists("P02"));
    EXPECT_FALSE(purchase.Exists("S01"));
    EXPECT_TRUE(stock.Exists("S01"));
    EXPECT_TRUE(suppliers.Exists("TOOLCO"));
    EXPECT_FALSE(suppliers.Exists("NOBODY'S"));
  }
}

INSTANTIATE_TEST_SUITE_P(Databases, DemoDatabaseTest, AllBackends(), BackendName);

}  // namespace
}  // namespace orv::test
