#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "records/clsStockXpgm.h"
#include "records/clsStockd.h"
#include "records/clsSttechD.h"

namespace orv {
namespace {

std::size_t Markers(const std::string& sql) { return std::count(sql.begin(), sql.end(), '?'); }

TEST(StockdStatementText, ReadUpdateAndInsertForBothVersions) {
  EXPECT_EQ(clsStockd::ReadSql("scheme.stockm"),
            "select *  from scheme.stockm where warehouse = ? and product = ?");

  // The set list runs over the 186 data columns in record order; the version 7 columns come
  // before the key in the update and after it in the insert.
  const std::string update6 = clsStockd::UpdateSql("scheme.stockm", false);
  EXPECT_EQ(update6.rfind("Update scheme.stockm set abc_category=?,  allocated_qty=?,  alpha=?,  "
                          "alternatives01=?,",
                          0),
            0u);
  EXPECT_NE(
      update6.find(",  year_to_date09=?,  year_to_date10=? where warehouse = ? and product=?"),
      std::string::npos);
  EXPECT_EQ(clsStockd::UpdateSql("scheme.stockm", true),
            update6.substr(0, update6.find(" where")) +
                " , replenish_category=?, held_flag=?, obsolete_flag=?  where warehouse = ? and "
                "product=?");

  const std::string insert6 = clsStockd::InsertSql("own.stk", false);
  EXPECT_EQ(insert6.rfind("INSERT INTO own.stk(abc_category,allocated_qty,alpha,", 0), 0u);
  EXPECT_NE(insert6.find(",year_to_date10, warehouse, product) VALUES ( ?,?"), std::string::npos);
  const std::string insert7 = clsStockd::InsertSql("own.stk", true);
  EXPECT_NE(insert7.find(", warehouse, product ,replenish_category,held_flag,obsolete_flag)"),
            std::string::npos);
  EXPECT_EQ(insert7.substr(insert7.size() - 8), "?,?,?,?)");

  // 186 set items and the key, or 189 and the key; 188 or 191 insert columns and markers.
  EXPECT_EQ(Markers(update6), 188u);
  EXPECT_EQ(Markers(clsStockd::UpdateSql("T", true)), 191u);
  EXPECT_EQ(Markers(insert6), 188u);
  EXPECT_EQ(Markers(insert7), 191u);
}

TEST(StockXpgmStatementText, NamesTheExtensionTable) {
  // The read and the update also carry the tolerances and the consumer unit, so that an update of
  // an existing row keeps the values the sheet did not carry.
  EXPECT_EQ(clsStockXpgm::ReadSql(),
            "select warehouse,product,analysis_d,analysis_e,analysis_f,delivery_qty_tol,"
            "call_off_qty_tol,consumer_unit from scheme.stockxpgm where warehouse = ? and "
            "product = ?");
  EXPECT_EQ(clsStockXpgm::UpdateSql(),
            " update scheme.stockxpgm set analysis_d = ?,analysis_e = ?,analysis_f = ?,"
            "delivery_qty_tol = ?,call_off_qty_tol = ?,consumer_unit = ? where warehouse = ? and "
            "product = ?");
  EXPECT_EQ(clsStockXpgm::InsertSql("own.xpgm"),
            "INSERT INTO own.xpgm (warehouse,product,analysis_d,analysis_e,analysis_f,"
            "delivery_qty_tol,call_off_qty_tol,consumer_unit) VALUES ( ?,?,?,?,?,?,?,?)");
}

TEST(SttechDStatementText, ReadInsertUpdateAndDelete) {
  EXPECT_EQ(
      clsSttechD::ReadSql("scheme.sttechm"),
      "select *  from scheme.sttechm where warehouse = ? and product = ? and page_number = ?");
  EXPECT_EQ(clsSttechD::InsertSql("scheme.sttechm"),
            "INSERT INTO scheme.sttechm ( spare,text01,text02,text03,text04,text05,text06,text07,"
            "text08,text09,text10,text11,text12,warehouse,product,page_number) VALUES ( "
            "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  EXPECT_EQ(clsSttechD::UpdateSql("scheme.sttechm"),
            "Update scheme.sttechm set spare=?, text01=?, text02=?, text03=?, text04=?, text05=?, "
            "text06=?, text07=?, text08=?, text09=?, text10=?, text11=?, text12=? where "
            "warehouse = ? and product = ? and page_number = ?");
  EXPECT_EQ(clsSttechD::DeleteSql("scheme.sttechm", "01", "P1", "001"),
            "delete from scheme.sttechm where warehouse = '01' and product = 'P1' and "
            "page_number='001'");
  // An apostrophe in a key is doubled, so it cannot end the literal.
  EXPECT_EQ(clsSttechD::DeleteSql("scheme.sttechm", "0'", "O'BRIEN' or '1'='1", "001"),
            "delete from scheme.sttechm where warehouse = '0''' and product = 'O''BRIEN'' or "
            "''1''=''1' and page_number='001'");
}

}  // namespace
}  // namespace orv
