#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "download/clsOrvStockTables.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/base/ValueConvert.h"
#include "tests/StatementConnection.h"

namespace orv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Expected texts are written out by hand from the statement's definition; they are an external
// interface that other tools log and compare.
class DownloadStatement : public ::testing::Test {
 protected:
  std::string Build(int type, int version) {
    builder.SetSageConnection(test::StatementConnection(type, version));
    builder.SqlQuery();
    return builder.BaseSql();
  }
  clsOrvStockTables builder;
};

// Each database type's form, the companions joined, and the filter after them.
TEST_F(DownloadStatement, EachFormJoinsItsCompanionsAndFilters) {
  for (int type : {0, 1, 2, 3})
    EXPECT_EQ(Build(type, 7), "Select t1.*, t1.warehouse wh, t1.product pd  from scheme.stockm t1 ")
        << "type " << type;

  builder.IsStockXpgm = builder.IsSttechM = builder.IsStockeM = builder.IsStprexM = true;
  builder.FromWarehouse = "01";
  builder.ToWarehouse = "03";
  EXPECT_EQ(Build(2, 6),
            "Select t1.*, t1.warehouse wh, t1.product pd , t2.* , t3.* , t4.* , t5.*  from "
            "scheme.stockm t1  left join scheme.stockxpgm t2 on t1.warehouse=t2.warehouse and "
            "t1.product=t2.product left join scheme.sttechm t3 on t1.warehouse=t3.warehouse and "
            "t1.product=t3.product left join scheme.stockem t4 on t1.warehouse=t4.warehouse and "
            "t1.product=t4.product left join scheme.stprexm t5 on t1.warehouse=t5.warehouse and "
            "t1.product=t5.product where  t1.warehouse >= '01' and  t1.warehouse <= '03'");

  // Before version 6 the EC and expense tables join by whproduct.
  builder.IsStockXpgm = builder.IsSttechM = false;
  builder.FromWarehouse = builder.ToWarehouse = "";
  EXPECT_EQ(Build(2, 5),
            "Select t1.*, t1.warehouse wh, t1.product pd , t4.* , t5.*  from scheme.stockm t1  "
            "left join scheme.stockem t4 on t1.warehouse||t1.product=t4.whproduct left join "
            "scheme.stprexm t5 on t1.warehouse||t1.product=t5.whproduct");

  // The Oracle form: the page belongs to the page table's outer join.
  builder.IsStockeM = builder.IsStprexM = false;
  builder.IsStockXpgm = builder.IsSttechM = true;
  builder.FromProduct = " P1 ";
  builder.PageNumber = "001";
  EXPECT_EQ(Build(0, 7),
            "Select t1.*, t1.warehouse wh, t1.product pd , t2.* , t3.*  from scheme.stockm t1 "
            ",scheme.stockxpgm t2 ,scheme.sttechm t3  where  t1.warehouse=t2.warehouse(+) and "
            "t1.product=t2.product(+)  and  t1.warehouse=t3.warehouse(+) and "
            "t1.product=t3.product(+) and t3.page_number(+) = '001'  and t1.product='P1'");
}

TEST_F(DownloadStatement, ThePageJoinsThePageTableSoRecordsWithoutItStay) {
  builder.IsSttechM = true;
  builder.PageNumber = "001";
  builder.FromWarehouse = "01";
  EXPECT_EQ(Build(2, 7),
            "Select t1.*, t1.warehouse wh, t1.product pd , t3.*  from scheme.stockm t1  left join "
            "scheme.sttechm t3 on t1.warehouse=t3.warehouse and t1.product=t3.product and "
            "t3.page_number = '001' where  t1.warehouse ='01'");
  EXPECT_EQ(Build(1, 7),
            "Select t1.*, t1.warehouse wh, t1.product pd , t3.*  from scheme.stockm t1 , outer "
            "scheme.sttechm t3  where  t3.warehouse=t1.warehouse and t3.product=t1.product and "
            "t3.page_number = '001'  and  t1.warehouse ='01'")
      << "Informix joins an outer table under every condition that names only its columns";
  builder.PageNumber = "";
  EXPECT_EQ(Build(2, 7),
            "Select t1.*, t1.warehouse wh, t1.product pd , t3.*  from scheme.stockm t1  left join "
            "scheme.sttechm t3 on t1.warehouse=t3.warehouse and t1.product=t3.product where  "
            "t1.warehouse ='01'");
}

TEST_F(DownloadStatement, RangeFilterRules) {
  builder.ToWarehouse = "09";
  EXPECT_EQ(Build(2, 7), "Select t1.*, t1.warehouse wh, t1.product pd  from scheme.stockm t1 ")
      << "a blank From warehouse means no warehouse condition";
  builder.FromWarehouse = "01";
  builder.ToWarehouse = "";
  builder.FromProduct = " A";
  builder.ToProduct = "B ";
  EXPECT_EQ(
      Build(2, 7),
      "Select t1.*, t1.warehouse wh, t1.product pd  from scheme.stockm t1  where  t1.warehouse "
      "='01' and  t1.product >= ' A' and  t1.product <= 'B '");
  builder.PageNumber = "002";
  EXPECT_THAT(Build(2, 7), Not(HasSubstr("page_number")));
}

TEST_F(DownloadStatement, QuotesInValuesAreDoubled) {
  builder.FromWarehouse = "0'";
  builder.FromProduct = "X' or '1'='1";
  EXPECT_EQ(
      Build(2, 7),
      "Select t1.*, t1.warehouse wh, t1.product pd  from scheme.stockm t1  where  t1.warehouse "
      "='0''' and t1.product='X'' or ''1''=''1'");
}

// The refresh runs the statement with markers: the same text, each value's literal replaced by a
// marker, and the values in marker order.
TEST_F(DownloadStatement, WithMarkersTheValuesBecomeParametersInTextOrder) {
  builder.IsSttechM = builder.IsStockeM = true;
  builder.PageNumber = "002";
  builder.FromWarehouse = "0'1";
  builder.FromProduct = " P1 ";
  for (int type : {0, 1, 2}) {
    builder.UseMarkers = false;
    const std::string literal = Build(type, 7);
    builder.UseMarkers = true;
    std::string filled = Build(type, 7);
    ASSERT_EQ(builder.Parameters(), (std::vector<std::string>{"002", "0'1", "P1"}))
        << "type " << type;
    for (const auto& value : builder.Parameters())
      filled.replace(filled.find('?'), 1, ValueConvert::Quote(value));
    EXPECT_EQ(filled, literal) << "type " << type;
  }
  builder.UseMarkers = false;
  Build(2, 7);
  EXPECT_TRUE(builder.Parameters().empty());
}

TEST_F(DownloadStatement, UnknownDatabaseTypeIsAnErrorNotAnEmptyStatement) {
  try {
    Build(4, 7);
    FAIL() << "built a statement for database type 4";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), vbObjectError);
    EXPECT_THAT(error.Description(), HasSubstr("4"));
    EXPECT_THAT(error.Source(), HasSubstr("SqlQuery of Class Module clsOrvStockTables Line No:"));
  }
}

}  // namespace
}  // namespace orv
