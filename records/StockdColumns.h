#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

// The columns of a stock master row, in record order: the 186 data columns (alphabetical, with
// pricing_discount before product and spare before spare2 before spare_integer), the key
// (warehouse, product), and the three columns that exist from ERP version 7 on. The statements,
// their parameters, the copy from a result set and the record's properties all follow this table.
class StockdColumns {
 public:
  enum class Kind : std::uint8_t { Text, Double, Date, SmallInt };
  struct Column {
    std::string_view name;
    Kind kind;
    std::int16_t size;  // declared size of a text parameter; 0 for the other kinds
    bool version7;      // only on databases of ERP version 7 or later
  };

  static constexpr std::size_t kDataCount = 186;
  static constexpr std::size_t kWarehouse = 186;
  static constexpr std::size_t kProduct = 187;
  static constexpr std::size_t kFirstVersion7 = 188;
  static constexpr std::size_t kCount = 191;

  static constexpr std::array<Column, kCount> kAll = {{
      {"abc_category", Kind::Text, 1, false},
      {"allocated_qty", Kind::Double, 0, false},
      {"alpha", Kind::Text, 10, false},
      {"alternatives01", Kind::Text, 22, false},
      {"alternatives02", Kind::Text, 22, false},
      {"alternatives03", Kind::Text, 22, false},
      {"alternatives04", Kind::Text, 22, false},
      {"alternatives05", Kind::Text, 22, false},
      {"alternatives06", Kind::Text, 22, false},
      {"alternatives07", Kind::Text, 22, false},
      {"alternatives08", Kind::Text, 22, false},
      {"alternatives09", Kind::Text, 22, false},
      {"alternatives10", Kind::Text, 22, false},
      {"analysis_a", Kind::Text, 10, false},
      {"analysis_b", Kind::Text, 10, false},
      {"analysis_c", Kind::Text, 10, false},
      {"analysis_x_ref", Kind::Text, 3, false},
      {"average_sales_valu", Kind::Double, 0, false},
      {"back_order_qty", Kind::Double, 0, false},
      {"batch_receipts", Kind::SmallInt, 0, false},
      {"batch_traceability", Kind::Text, 1, false},
      {"bin_number", Kind::Text, 10, false},
      {"bulk_item", Kind::Text, 1, false},
      {"buyer_id", Kind::Text, 8, false},
      {"catalogue_number", Kind::Text, 20, false},
      {"current_cost", Kind::Double, 0, false},
      {"current_labour", Kind::Double, 0, false},
      {"current_material", Kind::Double, 0, false},
      {"current_overhead", Kind::Double, 0, false},
      {"current_subcontrac", Kind::Double, 0, false},
      {"delivery_date", Kind::Date, 0, false},
      {"description", Kind::Text, 20, false},
      {"despatch_unit_use", Kind::Text, 1, false},
      {"despatch_units", Kind::Text, 10, false},
      {"discount", Kind::Text, 8, false},
      {"drawing_number", Kind::Text, 20, false},
      {"dspare01", Kind::Double, 0, false},
      {"dspare02", Kind::Double, 0, false},
      {"dspare03", Kind::Double, 0, false},
      {"dspare04", Kind::Double, 0, false},
      {"dspare05", Kind::Double, 0, false},
      {"dspare06", Kind::Double, 0, false},
      {"dspare07", Kind::Double, 0, false},
      {"dspare08", Kind::Double, 0, false},
      {"dspare09", Kind::Double, 0, false},
      {"dspare10", Kind::Double, 0, false},
      {"economic_reorder_q", Kind::Double, 0, false},
      {"expected_cost", Kind::Double, 0, false},
      {"forward_order_qty", Kind::Double, 0, false},
      {"holding_cost", Kind::Double, 0, false},
      {"inspect_cycle", Kind::SmallInt, 0, false},
      {"inspection_yield", Kind::Double, 0, false},
      {"issue_date", Kind::Date, 0, false},
      {"labour_on_cost", Kind::Double, 0, false},
      {"last_revalue", Kind::Date, 0, false},
      {"last_supplier", Kind::Text, 8, false},
      {"last_where_used_ru", Kind::SmallInt, 0, false},
      {"lead_time", Kind::Double, 0, false},
      {"level_of_detail", Kind::Text, 1, false},
      {"long_description", Kind::Text, 40, false},
      {"lowest_where_used", Kind::SmallInt, 0, false},
      {"make_or_buy", Kind::Text, 1, false},
      {"material_on_cost", Kind::Double, 0, false},
      {"maximum_stock_leve", Kind::Double, 0, false},
      {"min_stock_level", Kind::Double, 0, false},
      {"month_to_date01", Kind::Double, 0, false},
      {"month_to_date02", Kind::Double, 0, false},
      {"month_to_date03", Kind::Double, 0, false},
      {"month_to_date04", Kind::Double, 0, false},
      {"month_to_date05", Kind::Double, 0, false},
      {"month_to_date06", Kind::Double, 0, false},
      {"month_to_date07", Kind::Double, 0, false},
      {"month_to_date08", Kind::Double, 0, false},
      {"month_to_date09", Kind::Double, 0, false},
      {"month_to_date10", Kind::Double, 0, false},
      {"mps_type", Kind::Text, 1, false},
      {"mrp_batching", Kind::Text, 1, false},
      {"mrp_reorder_roundi", Kind::Double, 0, false},
      {"nominal_key", Kind::Text, 3, false},
      {"old_vat_code", Kind::Text, 1, false},
      {"on_order_qty", Kind::Double, 0, false},
      {"overhead_on_cost", Kind::Double, 0, false},
      {"packaging", Kind::Text, 10, false},
      {"period_demand01", Kind::Double, 0, false},
      {"period_demand02", Kind::Double, 0, false},
      {"period_demand03", Kind::Double, 0, false},
      {"period_demand04", Kind::Double, 0, false},
      {"period_demand05", Kind::Double, 0, false},
      {"period_demand06", Kind::Double, 0, false},
      {"period_demand07", Kind::Double, 0, false},
      {"period_demand08", Kind::Double, 0, false},
      {"period_demand09", Kind::Double, 0, false},
      {"period_demand10", Kind::Double, 0, false},
      {"period_demand11", Kind::Double, 0, false},
      {"period_demand12", Kind::Double, 0, false},
      {"period_demand13", Kind::Double, 0, false},
      {"period_issue_qty01", Kind::Double, 0, false},
      {"period_issue_qty02", Kind::Double, 0, false},
      {"period_issue_qty03", Kind::Double, 0, false},
      {"period_issue_qty04", Kind::Double, 0, false},
      {"period_issue_qty05", Kind::Double, 0, false},
      {"period_issue_qty06", Kind::Double, 0, false},
      {"period_issue_qty07", Kind::Double, 0, false},
      {"period_issue_qty08", Kind::Double, 0, false},
      {"period_issue_qty09", Kind::Double, 0, false},
      {"period_issue_qty10", Kind::Double, 0, false},
      {"period_issue_qty11", Kind::Double, 0, false},
      {"period_issue_qty12", Kind::Double, 0, false},
      {"period_issue_qty13", Kind::Double, 0, false},
      {"period_issue_val01", Kind::Double, 0, false},
      {"period_issue_val02", Kind::Double, 0, false},
      {"period_issue_val03", Kind::Double, 0, false},
      {"period_issue_val04", Kind::Double, 0, false},
      {"period_issue_val05", Kind::Double, 0, false},
      {"period_issue_val06", Kind::Double, 0, false},
      {"period_issue_val07", Kind::Double, 0, false},
      {"period_issue_val08", Kind::Double, 0, false},
      {"period_issue_val09", Kind::Double, 0, false},
      {"period_issue_val10", Kind::Double, 0, false},
      {"period_issue_val11", Kind::Double, 0, false},
      {"period_issue_val12", Kind::Double, 0, false},
      {"period_issue_val13", Kind::Double, 0, false},
      {"physical_qty", Kind::Double, 0, false},
      {"pr_yield", Kind::Double, 0, false},
      {"previous_sale_val1", Kind::Double, 0, false},
      {"previous_sale_val2", Kind::Double, 0, false},
      {"previous_sale_val3", Kind::Double, 0, false},
      {"price", Kind::Double, 0, false},
      {"pricing_discount", Kind::Text, 8, false},
      {"purchase_factor", Kind::Double, 0, false},
      {"purchase_key", Kind::Text, 3, false},
      {"purchase_unit", Kind::Text, 10, false},
      {"qty_decimal_places", Kind::Text, 1, false},
      {"queue_sequence", Kind::Text, 6, false},
      {"reorder_days", Kind::Double, 0, false},
      {"reorder_freeze", Kind::Text, 1, false},
      {"review_days", Kind::Double, 0, false},
      {"safety_days", Kind::Double, 0, false},
      {"safety_stock_level", Kind::Double, 0, false},
      {"selling_factor", Kind::Double, 0, false},
      {"selling_unit", Kind::Text, 10, false},
      {"serial_numbers", Kind::Text, 1, false},
      {"setup_cost", Kind::Double, 0, false},
      {"shelf_life", Kind::Double, 0, false},
      {"shipping_category", Kind::Text, 10, false},
      {"spare", Kind::Text, 6, false},
      {"spare2", Kind::Text, 48, false},
      {"spare_integer", Kind::SmallInt, 0, false},
      {"standard_cost", Kind::Double, 0, false},
      {"standard_labour", Kind::Double, 0, false},
      {"standard_material", Kind::Double, 0, false},
      {"standard_overhead", Kind::Double, 0, false},
      {"standard_subcontra", Kind::Double, 0, false},
      {"std_cost_freeze", Kind::Text, 1, false},
      {"stock_date", Kind::Date, 0, false},
      {"stock_height", Kind::Double, 0, false},
      {"stock_length", Kind::Double, 0, false},
      {"stock_take_toleran", Kind::Double, 0, false},
      {"stock_type", Kind::Text, 1, false},
      {"stock_vat_type", Kind::Text, 10, false},
      {"stock_width", Kind::Double, 0, false},
      {"sub_oncost_", Kind::Double, 0, false},
      {"supersession", Kind::Text, 22, false},
      {"supplier", Kind::Text, 8, false},
      {"supsession_date", Kind::Date, 0, false},
      {"uninspected_qty", Kind::Double, 0, false},
      {"unit_code", Kind::Text, 10, false},
      {"unit_height", Kind::Text, 4, false},
      {"unit_length", Kind::Text, 4, false},
      {"unit_width", Kind::Text, 4, false},
      {"vat_inclusive", Kind::Text, 1, false},
      {"weight", Kind::Double, 0, false},
      {"weight_low", Kind::Double, 0, false},
      {"wholesale_price", Kind::Double, 0, false},
      {"worder_allocations", Kind::Double, 0, false},
      {"working_level", Kind::Text, 1, false},
      {"year_to_date01", Kind::Double, 0, false},
      {"year_to_date02", Kind::Double, 0, false},
      {"year_to_date03", Kind::Double, 0, false},
      {"year_to_date04", Kind::Double, 0, false},
      {"year_to_date05", Kind::Double, 0, false},
      {"year_to_date06", Kind::Double, 0, false},
      {"year_to_date07", Kind::Double, 0, false},
      {"year_to_date08", Kind::Double, 0, false},
      {"year_to_date09", Kind::Double, 0, false},
      {"year_to_date10", Kind::Double, 0, false},
      {"warehouse", Kind::Text, 2, false},
      {"product", Kind::Text, 20, false},
      {"replenish_category", Kind::Text, 3, true},
      {"held_flag", Kind::Text, 1, true},
      {"obsolete_flag", Kind::Text, 1, true},
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
