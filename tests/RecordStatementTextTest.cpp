#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "records/clsStockXpgm.h"
#include "records/clsStockd.h"
#include "records/clsSttechD.h"

// The statement texts are an external interface: other tools log and compare them, so they must
// stay the same character for character. The expected texts are written out here, not built.
namespace orv {
namespace {

constexpr const char* kInsertColumns =
    "INSERT INTO scheme.stockm(abc_category,allocated_qty,alpha,alternatives01,alternatives02,"
    "alternatives03,alternatives04,alternatives05,alternatives06,alternatives07,alternatives08,"
    "alternatives09,alternatives10,analysis_a,analysis_b,analysis_c,analysis_x_ref,"
    "average_sales_valu,back_order_qty,batch_receipts,batch_traceability,bin_number,bulk_item,"
    "buyer_id,catalogue_number,current_cost,current_labour,current_material,current_overhead,"
    "current_subcontrac,delivery_date,description,despatch_unit_use,despatch_units,discount,"
    "drawing_number,dspare01,dspare02,dspare03,dspare04,dspare05,dspare06,dspare07,dspare08,"
    "dspare09,dspare10,economic_reorder_q,expected_cost,forward_order_qty,holding_cost,"
    "inspect_cycle,inspection_yield,issue_date,labour_on_cost,last_revalue,last_supplier,"
    "last_where_used_ru,lead_time,level_of_detail,long_description,lowest_where_used,"
    "make_or_buy,material_on_cost,maximum_stock_leve,min_stock_level,month_to_date01,"
    "month_to_date02,month_to_date03,month_to_date04,month_to_date05,month_to_date06,"
    "month_to_date07,month_to_date08,month_to_date09,month_to_date10,mps_type,mrp_batching,"
    "mrp_reorder_roundi,nominal_key,old_vat_code,on_order_qty,overhead_on_cost,packaging,"
    "period_demand01,period_demand02,period_demand03,period_demand04,period_demand05,"
    "period_demand06,period_demand07,period_demand08,period_demand09,period_demand10,"
    "period_demand11,period_demand12,period_demand13,period_issue_qty01,period_issue_qty02,"
    "period_issue_qty03,period_issue_qty04,period_issue_qty05,period_issue_qty06,"
    "period_issue_qty07,period_issue_qty08,period_issue_qty09,period_issue_qty10,"
    "period_issue_qty11,period_issue_qty12,period_issue_qty13,period_issue_val01,"
    "period_issue_val02,period_issue_val03,period_issue_val04,period_issue_val05,"
    "period_issue_val06,period_issue_val07,period_issue_val08,period_issue_val09,"
    "period_issue_val10,period_issue_val11,period_issue_val12,period_issue_val13,physical_qty,"
    "pr_yield,previous_sale_val1,previous_sale_val2,previous_sale_val3,price,pricing_discount,"
    "purchase_factor,purchase_key,purchase_unit,qty_decimal_places,queue_sequence,reorder_days,"
    "reorder_freeze,review_days,safety_days,safety_stock_level,selling_factor,selling_unit,"
    "serial_numbers,setup_cost,shelf_life,shipping_category,spare,spare2,spare_integer,"
    "standard_cost,standard_labour,standard_material,standard_overhead,standard_subcontra,"
    "std_cost_freeze,stock_date,stock_height,stock_length,stock_take_toleran,stock_type,"
    "stock_vat_type,stock_width,sub_oncost_,supersession,supplier,supsession_date,"
    "uninspected_qty,unit_code,unit_height,unit_length,unit_width,vat_inclusive,weight,"
    "weight_low,wholesale_price,worder_allocations,working_level,year_to_date01,year_to_date02,"
    "year_to_date03,year_to_date04,year_to_date05,year_to_date06,year_to_date07,year_to_date08,"
    "year_to_date09,year_to_date10, warehouse, product";

constexpr const char* kInsertMarkers =
    "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,? ,?,?,"
    "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,? ,?,?,?,?,?,?,"
    "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,? ,?,?,?,?,?,?,?,?,?,?,"
    "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,"
    "?,?,?,?,?,?,?,?,?,?,?";

constexpr const char* kUpdateSetList =
    "Update scheme.stockm set abc_category=?,  allocated_qty=?,  alpha=?,  alternatives01=?,"
    "  alternatives02=?,  alternatives03=?,  alternatives04=?,  alternatives05=?,"
    "  alternatives06=?,  alternatives07=?,  alternatives08=?,  alternatives09=?,"
    "  alternatives10=?,  analysis_a=?,  analysis_b=?,  analysis_c=?,  analysis_x_ref=?,"
    "  average_sales_valu=?,  back_order_qty=?,  batch_receipts=?,  batch_traceability=?,"
    "  bin_number=?,  bulk_item=?,  buyer_id=?,  catalogue_number=?,  current_cost=?,"
    "  current_labour=?,  current_material=?,  current_overhead=?,  current_subcontrac=?,"
    "  delivery_date=?,  description=?,  despatch_unit_use=?,  despatch_units=?,  discount=?,"
    "  drawing_number=?,  dspare01=?,  dspare02=?,  dspare03=?,  dspare04=?,  dspare05=?,"
    "  dspare06=?,  dspare07=?,  dspare08=?,  dspare09=?,  dspare10=?,  economic_reorder_q=?,"
    "  expected_cost=?,  forward_order_qty=?,  holding_cost=?,  inspect_cycle=?,"
    "  inspection_yield=?,  issue_date=?,  labour_on_cost=?,  last_revalue=?,  last_supplier=?,"
    "  last_where_used_ru=?,  lead_time=?,  level_of_detail=?,  long_description=?,"
    "  lowest_where_used=?,  make_or_buy=?,  material_on_cost=?,  maximum_stock_leve=?,"
    "  min_stock_level=?,  month_to_date01=?,  month_to_date02=?,  month_to_date03=?,"
    "  month_to_date04=?,  month_to_date05=?,  month_to_date06=?,  month_to_date07=?,"
    "  month_to_date08=?,  month_to_date09=?,  month_to_date10=?,  mps_type=?,  mrp_batching=?,"
    "  mrp_reorder_roundi=?,  nominal_key=?,  old_vat_code=?,  on_order_qty=?,"
    "  overhead_on_cost=?,  packaging=?,  period_demand01=?,  period_demand02=?,"
    "  period_demand03=?,  period_demand04=?,  period_demand05=?,  period_demand06=?,"
    "  period_demand07=?,  period_demand08=?,  period_demand09=?,  period_demand10=?,"
    "  period_demand11=?,  period_demand12=?,  period_demand13=?,  period_issue_qty01=?,"
    "  period_issue_qty02=?,  period_issue_qty03=?,  period_issue_qty04=?,"
    "  period_issue_qty05=?,  period_issue_qty06=?,  period_issue_qty07=?,"
    "  period_issue_qty08=?,  period_issue_qty09=?,  period_issue_qty10=?,"
    "  period_issue_qty11=?,  period_issue_qty12=?,  period_issue_qty13=?,"
    "  period_issue_val01=?,  period_issue_val02=?,  period_issue_val03=?,"
    "  period_issue_val04=?,  period_issue_val05=?,  period_issue_val06=?,"
    "  period_issue_val07=?,  period_issue_val08=?,  period_issue_val09=?,"
    "  period_issue_val10=?,  period_issue_val11=?,  period_issue_val12=?,"
    "  period_issue_val13=?,  physical_qty=?,  pr_yield=?,  previous_sale_val1=?,"
    "  previous_sale_val2=?,  previous_sale_val3=?,  price=?,  pricing_discount=?,"
    "  purchase_factor=?,  purchase_key=?,  purchase_unit=?,  qty_decimal_places=?,"
    "  queue_sequence=?,  reorder_days=?,  reorder_freeze=?,  review_days=?,  safety_days=?,"
    "  safety_stock_level=?,  selling_factor=?,  selling_unit=?,  serial_numbers=?,"
    "  setup_cost=?,  shelf_life=?,  shipping_category=?,  spare=?,  spare2=?,"
    "  spare_integer=?,  standard_cost=?,  standard_labour=?,  standard_material=?,"
    "  standard_overhead=?,  standard_subcontra=?,  std_cost_freeze=?,  stock_date=?,"
    "  stock_height=?,  stock_length=?,  stock_take_toleran=?,  stock_type=?,"
    "  stock_vat_type=?,  stock_width=?,  sub_oncost_=?,  supersession=?,  supplier=?,"
    "  supsession_date=?,  uninspected_qty=?,  unit_code=?,  unit_height=?,  unit_length=?,"
    "  unit_width=?,  vat_inclusive=?,  weight=?,  weight_low=?,  wholesale_price=?,"
    "  worder_allocations=?,  working_level=?,  year_to_date01=?,  year_to_date02=?,"
    "  year_to_date03=?,  year_to_date04=?,  year_to_date05=?,  year_to_date06=?,"
    "  year_to_date07=?,  year_to_date08=?,  year_to_date09=?,  year_to_date10=?";

std::size_t Markers(const std::string& sql) { return std::count(sql.begin(), sql.end(), '?'); }

TEST(StockdStatementText, ReadUpdateAndInsertForBothVersions) {
  EXPECT_EQ(clsStockd::ReadSql("scheme.stockm"),
            "select *  from scheme.stockm where warehouse = ? and product = ?");

  const std::string set_list = kUpdateSetList;
  EXPECT_EQ(clsStockd::UpdateSql("scheme.stockm", false),
            set_list + " where warehouse = ? and product=?");
  EXPECT_EQ(clsStockd::UpdateSql("scheme.stockm", true),
            set_list + " , replenish_category=?, held_flag=?, obsolete_flag=? " +
                " where warehouse = ? and product=?");

  const std::string columns = kInsertColumns;
  const std::string markers = kInsertMarkers;
  EXPECT_EQ(clsStockd::InsertSql("scheme.stockm", false),
            columns + ")" + " VALUES ( " + markers + ")");
  EXPECT_EQ(clsStockd::InsertSql("scheme.stockm", true),
            columns + " ,replenish_category,held_flag,obsolete_flag)" + " VALUES ( " + markers +
                ",?,?,?)");

  // 186 set items and the key, or 189 and the key; 188 or 191 insert columns and markers.
  EXPECT_EQ(Markers(clsStockd::UpdateSql("T", false)), 188u);
  EXPECT_EQ(Markers(clsStockd::UpdateSql("T", true)), 191u);
  EXPECT_EQ(Markers(clsStockd::InsertSql("T", false)), 188u);
  EXPECT_EQ(Markers(clsStockd::InsertSql("T", true)), 191u);
  // The table name stands as given.
  EXPECT_EQ(clsStockd::InsertSql("own.stk", false).rfind("INSERT INTO own.stk(abc_category,", 0),
            0u);
}

TEST(StockXpgmStatementText, NamesTheExtensionTable) {
  // The read and the update also carry the tolerances and the consumer unit, so that an update of
  // an existing row keeps the values the sheet did not carry.
  EXPECT_EQ(clsStockXpgm::ReadSql(),
            "select warehouse,product,analysis_d,analysis_e,analysis_f,delivery_qty_tol,"
            "call_off_qty_tol,consumer_unit from scheme.stockxpgm where warehouse = ? and "
            "product = ?");
  EXPECT_EQ(clsStockXpgm::UpdateSql(),
            " update scheme.stockxpgm set analysis_d = ?,analysis_e = ?  ,analysis_f =?,"
            "delivery_qty_tol = ?,call_off_qty_tol = ?,consumer_unit = ? where warehouse = ? and "
            "product = ?");
  EXPECT_EQ(clsStockXpgm::InsertSql("own.xpgm"),
            "INSERT INTO own.xpgm (warehouse,product,analysis_d,analysis_e,analysis_f,"
            "delivery_qty_tol,call_off_qty_tol,consumer_unit) VALUES ( ?,?,?,?,?,?,?,?)");
}

TEST(SttechDStatementText, ReadInsertUpdateAndDelete) {
  EXPECT_EQ(clsSttechD::ReadSql("scheme.sttechm"),
            "select *  from scheme.sttechm where warehouse = ? and product = ? and page_number=?");
  EXPECT_EQ(clsSttechD::InsertSql("scheme.sttechm"),
            "INSERT INTO scheme.sttechm ( spare,text01,text02,text03,text04,text05,text06,text07,"
            "text08,text09,text10,text11,text12,warehouse,product,page_number) VALUES ( "
            "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  EXPECT_EQ(clsSttechD::UpdateSql("scheme.sttechm"),
            "Update scheme.sttechm set  spare=?,  text01=?, text02=?,  text03=?,  text04=?,  "
            "text05=?, text06=?,  text07=?,  text08=?,  text09=?, text10=?,  text11=?,  text12=? "
            "where warehouse = ? and product=? and page_number=? ");
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
