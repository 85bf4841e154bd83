#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "records/RecordColumns.h"

namespace orv {

// The columns of a stock master row, in record order: the 186 data columns (alphabetical, with
// pricing_discount before product and spare before spare2 before spare_integer), the key
// (warehouse, product), and the three columns that exist from ERP version 7 on. The statements,
// their parameters, the copy from a result set and the record's properties all follow this table.
class StockdColumns {
 public:
  using Kind = ColumnKind;
  using Column = RecordColumn;

  static constexpr std::size_t kDataCount = 186;
  static constexpr std::size_t kWarehouse = 186;
  static constexpr std::size_t kProduct = 187;
  static constexpr std::size_t kFirstVersion7 = 188;
  static constexpr std::size_t kCount = 191;
  // Rows from kFirstVersion7 on exist only on databases of ERP version 7 or later.

  static constexpr std::array<Column, kCount> kAll = {{
      {"abc_category", Kind::Text, 1},
      {"allocated_qty", Kind::Double, 0},
      {"alpha", Kind::Text, 10},
      {"alternatives01", Kind::Text, 22},
      {"alternatives02", Kind::Text, 22},
      {"alternatives03", Kind::Text, 22},
      {"alternatives04", Kind::Text, 22},
      {"alternatives05", Kind::Text, 22},
      {"alternatives06", Kind::Text, 22},
      {"alternatives07", Kind::Text, 22},
      {"alternatives08", Kind::Text, 22},
      {"alternatives09", Kind::Text, 22},
      {"alternatives10", Kind::Text, 22},
      {"analysis_a", Kind::Text, 10},
      {"analysis_b", Kind::Text, 10},
      {"analysis_c", Kind::Text, 10},
      {"analysis_x_ref", Kind::Text, 3},
      {"average_sales_valu", Kind::Double, 0},
      {"back_order_qty", Kind::Double, 0},
      {"batch_receipts", Kind::SmallInt, 0},
      {"batch_traceability", Kind::Text, 1},
      {"bin_number", Kind::Text, 10},
      {"bulk_item", Kind::Text, 1},
      {"buyer_id", Kind::Text, 8},
      {"catalogue_number", Kind::Text, 20},
      {"current_cost", Kind::Double, 0},
      {"current_labour", Kind::Double, 0},
      {"current_material", Kind::Double, 0},
      {"current_overhead", Kind::Double, 0},
      {"current_subcontrac", Kind::Double, 0},
      {"delivery_date", Kind::Date, 0},
      {"description", Kind::Text, 20},
      {"despatch_unit_use", Kind::Text, 1},
      {"despatch_units", Kind::Text, 10},
      {"discount", Kind::Text, 8},
      {"drawing_number", Kind::Text, 20},
      {"dspare01", Kind::Double, 0},
      {"dspare02", Kind::Double, 0},
      {"dspare03", Kind::Double, 0},
      {"dspare04", Kind::Double, 0},
      {"dspare05", Kind::Double, 0},
      {"dspare06", Kind::Double, 0},
      {"dspare07", Kind::Double, 0},
      {"dspare08", Kind::Double, 0},
      {"dspare09", Kind::Double, 0},
      {"dspare10", Kind::Double, 0},
      {"economic_reorder_q", Kind::Double, 0},
      {"expected_cost", Kind::Double, 0},
      {"forward_order_qty", Kind::Double, 0},
      {"holding_cost", Kind::Double, 0},
      {"inspect_cycle", Kind::SmallInt, 0},
      {"inspection_yield", Kind::Double, 0},
      {"issue_date", Kind::Date, 0},
      {"labour_on_cost", Kind::Double, 0},
      {"last_revalue", Kind::Date, 0},
      {"last_supplier", Kind::Text, 8},
      {"last_where_used_ru", Kind::SmallInt, 0},
      {"lead_time", Kind::Double, 0},
      {"level_of_detail", Kind::Text, 1},
      {"long_description", Kind::Text, 40},
      {"lowest_where_used", Kind::SmallInt, 0},
      {"make_or_buy", Kind::Text, 1},
      {"material_on_cost", Kind::Double, 0},
      {"maximum_stock_leve", Kind::Double, 0},
      {"min_stock_level", Kind::Double, 0},
      {"month_to_date01", Kind::Double, 0},
      {"month_to_date02", Kind::Double, 0},
      {"month_to_date03", Kind::Double, 0},
      {"month_to_date04", Kind::Double, 0},
      {"month_to_date05", Kind::Double, 0},
      {"month_to_date06", Kind::Double, 0},
      {"month_to_date07", Kind::Double, 0},
      {"month_to_date08", Kind::Double, 0},
      {"month_to_date09", Kind::Double, 0},
      {"month_to_date10", Kind::Double, 0},
      {"mps_type", Kind::Text, 1},
      {"mrp_batching", Kind::Text, 1},
      {"mrp_reorder_roundi", Kind::Double, 0},
      {"nominal_key", Kind::Text, 3},
      {"old_vat_code", Kind::Text, 1},
      {"on_order_qty", Kind::Double, 0},
      {"overhead_on_cost", Kind::Double, 0},
      {"packaging", Kind::Text, 10},
      {"period_demand01", Kind::Double, 0},
      {"period_demand02", Kind::Double, 0},
      {"period_demand03", Kind::Double, 0},
      {"period_demand04", Kind::Double, 0},
      {"period_demand05", Kind::Double, 0},
      {"period_demand06", Kind::Double, 0},
      {"period_demand07", Kind::Double, 0},
      {"period_demand08", Kind::Double, 0},
      {"period_demand09", Kind::Double, 0},
      {"period_demand10", Kind::Double, 0},
      {"period_demand11", Kind::Double, 0},
      {"period_demand12", Kind::Double, 0},
      {"period_demand13", Kind::Double, 0},
      {"period_issue_qty01", Kind::Double, 0},
      {"period_issue_qty02", Kind::Double, 0},
      {"period_issue_qty03", Kind::Double, 0},
      {"period_issue_qty04", Kind::Double, 0},
      {"period_issue_qty05", Kind::Double, 0},
      {"period_issue_qty06", Kind::Double, 0},
      {"period_issue_qty07", Kind::Double, 0},
      {"period_issue_qty08", Kind::Double, 0},
      {"period_issue_qty09", Kind::Double, 0},
      {"period_issue_qty10", Kind::Double, 0},
      {"period_issue_qty11", Kind::Double, 0},
      {"period_issue_qty12", Kind::Double, 0},
      {"period_issue_qty13", Kind::Double, 0},
      {"period_issue_val01", Kind::Double, 0},
      {"period_issue_val02", Kind::Double, 0},
      {"period_issue_val03", Kind::Double, 0},
      {"period_issue_val04", Kind::Double, 0},
      {"period_issue_val05", Kind::Double, 0},
      {"period_issue_val06", Kind::Double, 0},
      {"period_issue_val07", Kind::Double, 0},
      {"period_issue_val08", Kind::Double, 0},
      {"period_issue_val09", Kind::Double, 0},
      {"period_issue_val10", Kind::Double, 0},
      {"period_issue_val11", Kind::Double, 0},
      {"period_issue_val12", Kind::Double, 0},
      {"period_issue_val13", Kind::Double, 0},
      {"physical_qty", Kind::Double, 0},
      {"pr_yield", Kind::Double, 0},
      {"previous_sale_val1", Kind::Double, 0},
      {"previous_sale_val2", Kind::Double, 0},
      {"previous_sale_val3", Kind::Double, 0},
      {"price", Kind::Double, 0},
      {"pricing_discount", Kind::Text, 8},
      {"purchase_factor", Kind::Double, 0},
      {"purchase_key", Kind::Text, 3},
      {"purchase_unit", Kind::Text, 10},
      {"qty_decimal_places", Kind::Text, 1},
      {"queue_sequence", Kind::Text, 6},
      {"reorder_days", Kind::Double, 0},
      {"reorder_freeze", Kind::Text, 1},
      {"review_days", Kind::Double, 0},
      {"safety_days", Kind::Double, 0},
      {"safety_stock_level", Kind::Double, 0},
      {"selling_factor", Kind::Double, 0},
      {"selling_unit", Kind::Text, 10},
      {"serial_numbers", Kind::Text, 1},
      {"setup_cost", Kind::Double, 0},
      {"shelf_life", Kind::Double, 0},
      {"shipping_category", Kind::Text, 10},
      {"spare", Kind::Text, 6},
      {"spare2", Kind::Text, 48},
      {"spare_integer", Kind::SmallInt, 0},
      {"standard_cost", Kind::Double, 0},
      {"standard_labour", Kind::Double, 0},
      {"standard_material", Kind::Double, 0},
      {"standard_overhead", Kind::Double, 0},
      {"standard_subcontra", Kind::Double, 0},
      {"std_cost_freeze", Kind::Text, 1},
      {"stock_date", Kind::Date, 0},
      {"stock_height", Kind::Double, 0},
      {"stock_length", Kind::Double, 0},
      {"stock_take_toleran", Kind::Double, 0},
      {"stock_type", Kind::Text, 1},
      {"stock_vat_type", Kind::Text, 10},
      {"stock_width", Kind::Double, 0},
      {"sub_oncost_", Kind::Double, 0},
      {"supersession", Kind::Text, 22},
      {"supplier", Kind::Text, 8},
      {"supsession_date", Kind::Date, 0},
      {"uninspected_qty", Kind::Double, 0},
      {"unit_code", Kind::Text, 10},
      {"unit_height", Kind::Text, 4},
      {"unit_length", Kind::Text, 4},
      {"unit_width", Kind::Text, 4},
      {"vat_inclusive", Kind::Text, 1},
      {"weight", Kind::Double, 0},
      {"weight_low", Kind::Double, 0},
      {"wholesale_price", Kind::Double, 0},
      {"worder_allocations", Kind::Double, 0},
      {"working_level", Kind::Text, 1},
      {"year_to_date01", Kind::Double, 0},
      {"year_to_date02", Kind::Double, 0},
      {"year_to_date03", Kind::Double, 0},
      {"year_to_date04", Kind::Double, 0},
      {"year_to_date05", Kind::Double, 0},
      {"year_to_date06", Kind::Double, 0},
      {"year_to_date07", Kind::Double, 0},
      {"year_to_date08", Kind::Double, 0},
      {"year_to_date09", Kind::Double, 0},
      {"year_to_date10", Kind::Double, 0},
      {"warehouse", Kind::Text, 2},
      {"product", Kind::Text, 20},
      {"replenish_category", Kind::Text, 3},
      {"held_flag", Kind::Text, 1},
      {"obsolete_flag", Kind::Text, 1},
  }};

  // The position of a column by its exact name, if the record has it.
  static constexpr std::optional<std::size_t> Find(std::string_view name) {
    for (std::size_t i = 0; i < kCount; ++i)
      if (kAll[i].name == name) return i;
    return std::nullopt;
  }

  // A column of a known kind, named at compile time: `stock.Text("unit_code")` compiles only when
  // unit_code is a text column of the record.
  template <Kind K>
  struct Field {
    template <std::size_t N>
    consteval Field(const char (&name)[N]) : index(Checked(std::string_view(name, N - 1))) {}
    // A column found at run time; AppError when it is not of this kind.
    static Field At(std::size_t column);
    std::size_t index;

   private:
    constexpr explicit Field(std::size_t column, int) : index(column) {}
    static consteval std::size_t Checked(std::string_view name) {
      auto found = Find(name);
      if (!found || kAll[*found].kind != K) throw "not a stock master column of this kind";
      return *found;
    }
  };
  using TextField = Field<Kind::Text>;
  using DoubleField = Field<Kind::Double>;
  using DateField = Field<Kind::Date>;
  using IntegerField = Field<Kind::SmallInt>;
};

}  // namespace orv
