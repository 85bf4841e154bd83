#include "records/clsStockd.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "tests/DatabaseFixture.h"

namespace orv::test {
namespace {

using ::testing::HasSubstr;

using Kind = StockdColumns::Kind;
constexpr std::size_t kCount = StockdColumns::kCount;

// Every property of a record, in column order.
std::vector<Variant> Snapshot(const clsStockd& stock) {
  std::vector<Variant> values;
  for (std::size_t i = 0; i < kCount; ++i) values.push_back(stock.Value(i));
  return values;
}

void ExpectSame(const std::vector<Variant>& expected, const clsStockd& stock,
                const std::string& context) {
  for (std::size_t i = 0; i < kCount; ++i)
    EXPECT_EQ(stock.Value(i), expected[i]) << context << ": " << StockdColumns::kAll[i].name;
}

// A distinct value for every column: texts with a leading and a trailing blank where the width
// allows, doubles with fractions and signs, whole-day dates, 16-bit integers up to both limits.
void Fill(clsStockd& stock, const std::string& warehouse, const std::string& product, int seed) {
  for (std::size_t i = 0; i < kCount; ++i) {
    const auto& column = StockdColumns::kAll[i];
    const double n = static_cast<double>(i) + seed;
    switch (column.kind) {
      case Kind::Text: {
        std::string text = " " + std::to_string(i + seed) + "ab cdefghijklmnopqrstuvwxyz";
        text = text.substr(0, column.size - 1) + " ";
        if (column.size == 1) text = std::string(1, static_cast<char>('A' + (i + seed) % 26));
        stock.SetValue(i, Variant(text));
        break;
      }
      case Kind::Double:
        stock.SetValue(i, Variant((i % 2 ? -1 : 1) * (n * 1.25 + 0.1)));
        break;
      case Kind::Date:
        stock.SetValue(i, Variant(OleDate{45000 + n}));
        break;
      case Kind::SmallInt:
        stock.SetValue(i, Variant(static_cast<std::int32_t>(i % 2 ? -32768 + n : 32767 - n)));
        break;
    }
  }
  stock.SetText("warehouse", warehouse);
  stock.SetText("product", product);
}

// Blank values for the three columns of version 7 on a version 6 database, which has no place
// for them.
std::vector<Variant> AsStored(std::vector<Variant> values, int version) {
  if (version < 7)
    for (std::size_t i = StockdColumns::kFirstVersion7; i < kCount; ++i) values[i] = Variant("");
  return values;
}

class StockdTest : public DatabaseTest {
 protected:
  // A fresh company database of that version for each call.
  std::shared_ptr<DataConnection> Open(int version) {
    scratch_ = std::make_unique<ScratchDatabase>(GetParam());
    return OpenEmpty(version);
  }
};

TEST(Stockd, ResetBlanksEveryPropertyAndValuesAreKeptAsPut) {
  clsStockd stock;
  Fill(stock, "01", "P1   ", 3);
  EXPECT_EQ(stock.Text("product"), "P1   ");
  EXPECT_EQ(stock.Text("description"), " 34ab cdefghijklmno ");  // 20 wide
  EXPECT_EQ(stock.Integer("spare_integer"), -32768 + 150);
  stock.SetText("alpha", std::string(50, 'x'));  // longer than the column: kept, not cut
  EXPECT_EQ(stock.Text("alpha").size(), 50u);
  stock.Reset();
  for (std::size_t i = 0; i < kCount; ++i) {
    Variant v = stock.Value(i);
    if (v.IsText())
      EXPECT_EQ(v.ToText(), "") << StockdColumns::kAll[i].name;
    else
      EXPECT_EQ(v.ToDouble(), 0) << StockdColumns::kAll[i].name;
  }
  EXPECT_THROW(stock.ReadIt("01", "P1"), AppError) << "no open connection";
  EXPECT_THROW(stock.SetValue(*StockdColumns::Find("inspect_cycle"), Variant(40000.0)), AppError);
  EXPECT_THROW(stock.SetValue(*StockdColumns::Find("price"), Variant("abc")), AppError);
  // Columns named at run time are checked for their kind.
  auto unit_code = StockdColumns::TextField::At(*StockdColumns::Find("unit_code"));
  stock.SetText(unit_code, "EA");
  EXPECT_EQ(stock.Value(unit_code.index), Variant("EA"));
  EXPECT_THROW(StockdColumns::TextField::At(*StockdColumns::Find("price")), AppError);
  EXPECT_FALSE(StockdColumns::Find("Unit_Code").has_value());
}

TEST_P(StockdTest, InsertThenReadGivesBackEveryColumn) {
  for (int version : {6, 7}) {
    auto connection = Open(version);
    clsStockd written;
    written.SetSageConnection(connection);
    Fill(written, "01", "BOLT-10  ", 1);
    written.InsertRow();
    Fill(written, "02", "BOLT-10", 2);
    written.InsertRow();

    clsStockd read;
    read.SetSageConnection(connection);
    ASSERT_TRUE(read.ReadIt("01", "BOLT-10  ")) << version;
    clsStockd expected;
    Fill(expected, "01", "BOLT-10  ", 1);
    ExpectSame(AsStored(Snapshot(expected), version), read, "version " + std::to_string(version));
    ASSERT_TRUE(read.ReadIt("02", "BOLT-10"));
    EXPECT_EQ(read.Text("description"), " 33ab cdefghijklmno ");
    // Trailing blanks are part of the key.
    EXPECT_FALSE(read.ReadIt("01", "BOLT-10"));
    EXPECT_EQ(Count(*connection, connection->TableCatalogue().StockMaster()), 2);
  }
}

TEST_P(StockdTest, VersionSixLeavesTheVersionSevenPropertiesAlone) {
  for (int version : {6, 7}) {
    auto connection = Open(version);
    clsStockd stock;
    stock.SetSageConnection(connection);
    Fill(stock, "01", "P1", 0);
    stock.SetText("held_flag", "Y");
    stock.InsertRow();
    stock.Reset();
    stock.SetText("replenish_category", "ZZZ");
    stock.SetText("held_flag", "Q");
    ASSERT_TRUE(stock.ReadIt("01", "P1"));
    EXPECT_EQ(stock.Text("replenish_category"), version >= 7 ? " 1 " : "ZZZ") << version;
    EXPECT_EQ(stock.Text("held_flag"), version >= 7 ? "Y" : "Q") << version;
  }
}

TEST_P(StockdTest, NullsReadAsBlankAndZeroDatesFollowTheDatabaseRules) {
  for (int version : {6, 7}) {
    auto connection = Open(version);
    const std::string& table = connection->TableCatalogue().StockMaster();
    clsStockd stock;
    stock.SetSageConnection(connection);
    stock.SetText("warehouse", "01");
    stock.SetText("product", "ZERO");
    stock.InsertRow();  // every date 0
    // A zero last_revalue is stored as 31/12/1899; the other zero dates as Null.
    EXPECT_EQ(Count(*connection, table + " where delivery_date is null and issue_date is null and "
                                         "stock_date is null and supsession_date is null"),
              1);
    ASSERT_TRUE(stock.ReadIt("01", "ZERO"));
    EXPECT_EQ(stock.Date("last_revalue"), OleDate{1});
    EXPECT_EQ(stock.Date("delivery_date"), OleDate{0});

    // Every other column Null.
    std::string nulls;
    const std::size_t last = version >= 7 ? kCount : StockdColumns::kFirstVersion7;
    for (std::size_t i = 0; i < last; ++i)
      if (i != StockdColumns::kWarehouse && i != StockdColumns::kProduct)
        nulls += (nulls.empty() ? "" : ", ") + std::string(StockdColumns::kAll[i].name) + "=NULL";
    connection->AdoConnection()->Execute("update " + table + " set " + nulls);
    Fill(stock, "01", "ZERO", 5);
    ASSERT_TRUE(stock.ReadIt("01", "ZERO"));
    for (std::size_t i = 0; i < StockdColumns::kDataCount; ++i) {
      Variant v = stock.Value(i);
      if (v.IsText())
        EXPECT_EQ(v.ToText(), "") << StockdColumns::kAll[i].name;
      else
        EXPECT_EQ(v.ToDouble(), 0) << StockdColumns::kAll[i].name;
    }
    if (version >= 7) {
      EXPECT_EQ(stock.Text("replenish_category"), "");
      EXPECT_EQ(stock.Text("held_flag"), "");
      EXPECT_EQ(stock.Text("obsolete_flag"), "");
    }
  }
}

TEST_P(StockdTest, UpdateChangesWhatWasPutAndNothingElse) {
  for (int version : {6, 7}) {
    auto connection = Open(version);
    clsStockd stock;
    stock.SetSageConnection(connection);
    Fill(stock, "01", "P1", 1);
    stock.InsertRow();
    Fill(stock, "01", "P2", 2);
    stock.InsertRow();
    // The same record then updates: the update statement takes its own parameter order.
    ASSERT_TRUE(stock.ReadIt("01", "P1"));
    stock.SetText("unit_code", "BOX");
    stock.SetDouble("price", 12.75);
    stock.SetDate("stock_date", OleDate{46000});
    stock.SetDate("last_revalue", OleDate{0});
    stock.SetInteger("inspect_cycle", 7);
    stock.SetText("obsolete_flag", "Y");
    stock.UpdateStock();
    // An update of a key without a row changes nothing.
    stock.SetText("product", "P9");
    stock.UpdateStock();

    clsStockd expected;
    Fill(expected, "01", "P1", 1);
    expected.SetText("unit_code", "BOX");
    expected.SetDouble("price", 12.75);
    expected.SetDate("stock_date", OleDate{46000});
    expected.SetDate("last_revalue", OleDate{1});
    expected.SetInteger("inspect_cycle", 7);
    expected.SetText("obsolete_flag", "Y");
    clsStockd read;
    read.SetSageConnection(connection);
    ASSERT_TRUE(read.ReadIt("01", "P1"));
    ExpectSame(AsStored(Snapshot(expected), version), read,
               "updated, version " + std::to_string(version));
    Fill(expected, "01", "P2", 2);
    ASSERT_TRUE(read.ReadIt("01", "P2"));
    ExpectSame(AsStored(Snapshot(expected), version), read, "other row");
    EXPECT_FALSE(read.ReadIt("01", "P9"));

    // The insert statement keeps its own order after the update was built.
    Fill(stock, "01", "P3", 3);
    stock.InsertRow();
    Fill(expected, "01", "P3", 3);
    ASSERT_TRUE(read.ReadIt("01", "P3"));
    ExpectSame(AsStored(Snapshot(expected), version), read, "inserted after the update");
  }
}

TEST_P(StockdTest, FailuresReachTheCallerAndTheRecordKeepsItsValues) {
  auto connection = Open(7);
  clsStockd stock;
  stock.SetSageConnection(connection);
  Fill(stock, "01", "P1", 4);
  stock.InsertRow();
  const std::vector<Variant> before = Snapshot(stock);

  try {
    stock.InsertRow();
    ADD_FAILURE() << "a duplicate key was inserted";
  } catch (const AppError& error) {
    EXPECT_THAT(error.Source(), HasSubstr("InsertRow of Class Module clsStockd Line#:30"));
  }
  ExpectSame(before, stock, "after the duplicate insert");

  stock.SetText("unit_code", "MUCH TOO LONG");
  try {
    stock.UpdateStock();
    ADD_FAILURE() << "a value longer than its column was written";
  } catch (const AppError& error) {
    EXPECT_THAT(error.Source(), HasSubstr("updateStock of Class Module clsStockd Line#:30"));
  }
  EXPECT_EQ(stock.Text("unit_code"), "MUCH TOO LONG");

  // A missing key: false, and nothing changes.
  const std::vector<Variant> filled = Snapshot(stock);
  EXPECT_FALSE(stock.ReadIt("01", "NOSUCH"));
  EXPECT_FALSE(stock.ReadIt("1", "P1"));
  ExpectSame(filled, stock, "after reading a missing key");
  // The failed writes left the stored row as first inserted.
  clsStockd read;
  read.SetSageConnection(connection);
  ASSERT_TRUE(read.ReadIt("01", "P1"));
  ExpectSame(before, read, "stored row");
}

INSTANTIATE_TEST_SUITE_P(Databases, StockdTest, AllBackends(), BackendName);

}  // namespace
}  // namespace orv::test
