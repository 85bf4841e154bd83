#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "records/clsStockXpgm.h"
#include "records/clsStockd.h"
#include "records/clsSttechD.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

std::size_t Markers(const std::string& sql) { return std::count(sql.begin(), sql.end(), '?'); }

// The statements bind their values by position: the key's place in each is what the parameters
// follow. Their columns and values meet the database in the record tests.
TEST(RecordStatementText, TheKeyAndTheVersion7ColumnsStandWhereTheParametersExpectThem) {
  const std::string update6 = clsStockd::UpdateSql("scheme.stockm", false);
  const std::string update7 = clsStockd::UpdateSql("scheme.stockm", true);
  EXPECT_TRUE(update6.ends_with(" where warehouse = ? and product=?")) << update6;
  EXPECT_EQ(update7, update6.substr(0, update6.find(" where")) +
                         " , replenish_category=?, held_flag=?, obsolete_flag=?  where "
                         "warehouse = ? and product=?");
  const std::string insert6 = clsStockd::InsertSql("own.stk", false);
  const std::string insert7 = clsStockd::InsertSql("own.stk", true);
  EXPECT_THAT(insert6, HasSubstr(", warehouse, product) VALUES ( ?"));
  EXPECT_THAT(insert7, HasSubstr(", warehouse, product ,replenish_category,held_flag,"
                                 "obsolete_flag) VALUES ( ?"));
  // 186 data columns and the key, or 189 and the key.
  EXPECT_EQ(Markers(update6), 188u);
  EXPECT_EQ(Markers(update7), 191u);
  EXPECT_EQ(Markers(insert6), 188u);
  EXPECT_EQ(Markers(insert7), 191u);

  EXPECT_TRUE(clsSttechD::UpdateSql("scheme.sttechm")
                  .ends_with("text12=? where warehouse = ? and product = ? and page_number = ?"));
  EXPECT_THAT(clsSttechD::InsertSql("scheme.sttechm"),
              HasSubstr("text12,warehouse,product,page_number) VALUES ("));
  // The extension row's read and update carry the consumer unit, which no range does, so that an
  // update keeps it.
  EXPECT_THAT(clsStockXpgm::ReadSql(), HasSubstr("consumer_unit from"));
  EXPECT_THAT(clsStockXpgm::UpdateSql(),
              HasSubstr("consumer_unit = ? where warehouse = ? and product = ?"));
}

}  // namespace
}  // namespace orv
