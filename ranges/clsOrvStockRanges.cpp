#include "ranges/clsOrvStockRanges.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include <fmt/format.h>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/OleCalendar.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "upload/clsOrvStock.h"

namespace orv {
namespace {

struct GroupRow {
  std::string_view caption;
  std::string_view key;
};

// Groups 1 to 11 belong to DefineRanges; "td_grp" is added with the technical description ranges.
constexpr std::array<GroupRow, 11> kGroups{{
    {"Unit Details", "ud_grp"},
    {"Product Groups", "prod_grp"},
    {"Ledger Details", "ld_grp"},
    {"EC Details", "ec_grp"},
    {"Supersessions & Alternatives", "as_grp"},
    {"Dimensions", "d_grp"},
    {"Costing & Pricing", "cp_grp"},
    {"Inventory Policy", "ip_grp"},
    {"Stock Status (to download only)", "ssd_grp"},
    {"Period Usages (to download only)", "pud_grp"},
    {"Project Accounting", "pac_grp"},
}};

constexpr GroupRow kTechnicalDescriptionGroup{"Technical Descriptions", "td_grp"};

enum class Read : std::uint8_t { kNone, kValue, kWhenPresent };
// T1: -1 writes an empty cell. D1 to D3: the empty-date rules of the download (see DateCellText).
// Field: the range list copies the field as it stands.
enum class Write : std::uint8_t {
  kNone,
  kText,
  kTextT1,
  kField,
  kNumber,
  kDateD1,
  kDateD2,
  kDateD3
};

// One named range of the workbooks: how it is defined, which field of the business object it
// loads on upload (and how), and which column of a download it is written from (and how).
struct RangeRow {
  std::string_view name = {};
  std::string_view description = {};
  std::int32_t type = RangeDefinition::kText;
  std::int32_t length = 0;
  std::string_view heading = {};  // empty: the description
  std::string_view group = {};    // empty: none
  std::string_view browse_list = {};
  bool any_code = false;  // the browse is offered, but the code need not come from its list
  bool key = false;
  bool company = false;
  bool version7 = false;  // only for companies of ERP version 7 or later
  std::int32_t code_option = 0;
  Read read = Read::kNone;
  std::size_t field = StockFields::kCount;
  std::int16_t item = 0;  // the entry of a series field
  std::string_view column = {};
  Write write = Write::kNone;

 private:
  // Defined ahead of their callers: clang evaluates the constant tables below before it has seen
  // a member template defined further down the class.
  template <class T, class V>
  constexpr RangeRow With(T RangeRow::*member, V value) const {
    RangeRow row = *this;
    row.*member = value;
    return row;
  }
  static constexpr std::size_t FieldNamed(std::string_view property) {
    std::size_t field = StockFields::Find(property);
    if (field == StockFields::kCount) throw "no such field of the business object";
    return field;
  }

 public:
  constexpr RangeRow Heading(std::string_view text) const { return With(&RangeRow::heading, text); }
  constexpr RangeRow In(std::string_view group_key) const {
    return With(&RangeRow::group, group_key);
  }
  constexpr RangeRow Browse(std::string_view list) const {
    return With(&RangeRow::browse_list, list);
  }
  constexpr RangeRow AnyCode() const { return With(&RangeRow::any_code, true); }
  constexpr RangeRow Key() const { return With(&RangeRow::key, true); }
  constexpr RangeRow Company() const { return With(&RangeRow::company, true); }
  constexpr RangeRow Version7() const { return With(&RangeRow::version7, true); }
  constexpr RangeRow CodeOption(std::int32_t option) const {
    return With(&RangeRow::code_option, option);
  }
  constexpr RangeRow Loads(std::string_view property, std::int16_t entry = 0) const {
    RangeRow row = *this;
    row.read = Read::kValue;
    row.field = FieldNamed(property);
    row.item = entry;
    return row;
  }
  // The value is taken only when the presence flag, read back from the business object, is set.
  constexpr RangeRow LoadsWhenPresent(std::string_view property) const {
    RangeRow row = Loads(property);
    row.read = Read::kWhenPresent;
    return row;
  }
  constexpr RangeRow Copies(std::string_view from, Write how) const {
    RangeRow row = *this;
    row.column = from;
    row.write = how;
    return row;
  }
};

constexpr RangeRow Text(std::string_view name, std::string_view description, std::int32_t length) {
  return {name, description, RangeDefinition::kText, length};
}
constexpr RangeRow Number(std::string_view name, std::string_view description) {
  return {name, description, RangeDefinition::kNumber, 0};
}
constexpr RangeRow Whole(std::string_view name, std::string_view description) {
  return {name, description, RangeDefinition::kWholeNumber, 0};
}
constexpr RangeRow Date(std::string_view name, std::string_view description, std::int32_t length) {
  return {name, description, RangeDefinition::kDate, length};
}

// Every range of the stock and technical description workbooks, in definition order.
// clang-format off
constexpr RangeRow kRanges[] = {
    Text("Warehouse", "Warehouse", 2).Browse("po_warehouse").Key().Loads("warehouse").Copies("wh", Write::kText),
    Text("Product", "Product", 20).Browse("Product").Key().Loads("product").Copies("pd", Write::kText),
    Text("Description", "Description", 20).Loads("description").Copies("description", Write::kText),
    Text("LongDescription", "Full description", 40).Loads("LongDescription").Copies("long_description", Write::kText),
    Text("Alpha", "Alpha code", 10).Loads("alpha").Copies("alpha", Write::kText),
    Text("bincode", "Bin number", 10).Browse("bin_code").Loads("BinNumber").Copies("bin_number", Write::kText),
    Text("QtyDecimalPlaces", "Number of dp", 1).Loads("QtyDecPlaces").Copies("qty_decimal_places", Write::kText),
    Text("SerialNumbers", "Serial numbers", 1).Loads("SerialNumbers").Copies("serial_numbers", Write::kText),
    Number("ShelfLife", "Std shelf life").Loads("ShelfLife").Copies("shelf_life", Write::kNumber),
    Text("BulkItem", "Bulk issue?", 1).Loads("BulkItem").Copies("bulk_item", Write::kText),
    Text("Traceability", "Traceability", 1).Loads("Traceability").Copies("batch_traceability", Write::kText),
    Text("Expense", "Expense Code", 20).In("pac_grp").Browse("exp_rev_code").Loads("Expense").Copies("expense", Write::kField),
    Text("StockType", "Bundle type", 1).Loads("StockType").Copies("stock_type", Write::kText),
    Number("StockTakeToleran", "Stocktake tol.").Loads("StockTakeToleran").Copies("stock_take_toleran", Write::kTextT1),
    Text("UnitCode", "Stock unit", 10).In("ud_grp").Browse("stock_units").Loads("UnitCode").Copies("unit_code", Write::kText),
    Number("Weight", "Weight/unit (max)").In("ud_grp").Loads("weight").Copies("weight", Write::kNumber),
    Number("WeightLow", "Weight/unit (min)").In("ud_grp").Loads("WeightLow").Copies("weight_low", Write::kNumber),
    Text("AnalysisA", "Group A", 10).In("prod_grp").Browse("product_group").Loads("AnalysisA").Copies("analysis_a", Write::kText),
    Text("AnalysisB", "Group B", 10).In("prod_grp").Browse("product_group").Loads("AnalysisB").Copies("analysis_b", Write::kText),
    Text("AnalysisC", "Group C", 10).In("prod_grp").Browse("product_group").Loads("AnalysisC").Copies("analysis_c", Write::kText),
    Text("AnalysisD", "Group D (DA0512)", 10).Heading("Group D").In("prod_grp").Browse("product_group").Loads("AnalysisD").Copies("analysis_d", Write::kField),
    Text("AnalysisE", "Group E (DA0512)", 10).Heading("Group E").In("prod_grp").Browse("product_group").Loads("AnalysisE").Copies("analysis_e", Write::kField),
    Text("AnalysisF", "Group F (DA0512)", 10).Heading("Group F").In("prod_grp").Browse("product_group").Loads("AnalysisF").Copies("analysis_f", Write::kField),
    Text("delivery_qty_tol", "Delivery Qty Tolerance (DA0533)", 30).Heading("Del Qty Tol").In("prod_grp").Loads("DeliveryQtyTolerance").Copies("delivery_qty_tol", Write::kField),
    Text("call_off_qty_tol", "Call Off Qty Tolerance (DA0534)", 30).Heading("Call Off Tol").In("prod_grp").Loads("CallOffQtyTolerance").Copies("call_off_qty_tol", Write::kField),
    Text("AnalysisXRef", "Stock G/L cat", 3).In("ld_grp").Browse("analysis_x_ref").Loads("AnalysisXRef").Copies("analysis_x_ref", Write::kText),
    Text("NominalKey", "Sales G/L cat", 3).In("ld_grp").Loads("NominalKey").Copies("nominal_key", Write::kText),
    Text("PurchaseKey", "Purchase G/L cat", 3).In("ld_grp").CodeOption(3).Loads("PurchaseKey").Copies("purchase_key", Write::kText),
    Number("MinStockLevel", "Reorder level").In("ip_grp").Loads("MinStockLevel").Copies("min_stock_level", Write::kNumber),
    Number("SafetyStockLevel", "Safety level").In("ip_grp").Loads("SafetyStockLevel").Copies("safety_stock_level", Write::kNumber),
    Number("MaxStockLeve", "Maximum level").In("ip_grp").Loads("MaximumStockLevel").Copies("maximum_stock_leve", Write::kNumber),
    Number("LeadTime", "Lead time").In("ip_grp").Loads("LeadTime").Copies("lead_time", Write::kText),
    Number("ReviewDays", "Review time").In("ip_grp").Loads("ReviewDays").Copies("review_days", Write::kText),
    Number("ReorderDays", "Reorder days").In("ip_grp").Loads("ReorderDays").Copies("reorder_days", Write::kText),
    Number("SafetyDays", "Safety days").In("ip_grp").Loads("SafetyDays").Copies("safety_days", Write::kText),
    Number("SetupCost", "Admin. cost").In("ip_grp").Loads("SetupCost").Copies("setup_cost", Write::kText),
    Whole("InspectCycle", "Inspection cycle").In("ip_grp").Loads("InspectCycle").Copies("inspect_cycle", Write::kText),
    Number("InspectionYield", "Inspection yield").In("ip_grp").Loads("InspectionYield").Copies("inspection_yield", Write::kText),
    Text("MpsType", "Inventory type", 1).In("ip_grp").Loads("MpsType").Copies("mps_type", Write::kText),
    Number("EconomicReorderQ", "Economic order qty").In("ip_grp").Loads("EconomicReOrderQ").Copies("economic_reorder_q", Write::kText),
    Number("MrpReorderRoundi", "Reorder increment qty").In("ip_grp").Loads("MrpReorderRoundi").Copies("mrp_reorder_roundi", Write::kText),
    Text("ReorderFreeze", "Reorder level freeze", 1).In("ip_grp").Loads("ReorderFreeze").Copies("reorder_freeze", Write::kText),
    Text("MrpBatching", "Reorder batching mode", 1).In("ip_grp").Loads("MrpBatching").Copies("mrp_batching", Write::kText),
    Text("WorkingLevel", "MRP safety level", 1).In("ip_grp").Loads("WorkingLevel").Copies("working_level", Write::kText),
    Text("MakeOrBuy", "Make or buy", 1).In("ip_grp").Loads("MakeOrBuy").Copies("make_or_buy", Write::kText),
    Number("DSpare01", "Fixed Period Days").In("ip_grp").Loads("dspare01").Copies("dspare01", Write::kNumber),
    Number("PrYield", "Expected P&R yield").In("ip_grp").Loads("PrYield").Copies("pr_yield", Write::kText),
    Text("Supplier", "Preferred supplier", 8).In("ip_grp").Browse("supplier").Loads("supplier").Copies("supplier", Write::kField),
    Text("LastSupplier", "Last supplier", 8).In("ip_grp").Browse("supplier").Loads("LastSupplier").Copies("last_supplier", Write::kText),
    Text("BuyerId", "Buyer id", 8).In("ip_grp").Loads("BuyerId").Copies("buyer_id", Write::kText),
    Text("LevelofDetail", "Level of detail", 1).In("ip_grp").Loads("LevelOfDetail").Copies("level_of_detail", Write::kText),
    Number("StandardMaterial", "Standard Material").In("cp_grp").Loads("StandardMaterial").Copies("standard_material", Write::kField),
    Number("StandardOverhead", "Standard Overhead").In("cp_grp").Loads("StandardOverhead").Copies("standard_overhead", Write::kField),
    Number("StandardLabour", "Standard Labour").In("cp_grp").Loads("StandardLabour").Copies("standard_labour", Write::kField),
    Number("StandardSubcontra", "Standard Outwork").In("cp_grp").Loads("StandardSubcontra").Copies("standard_subcontra", Write::kField),
    Number("CurrentMaterial", "Current Material").In("cp_grp").Loads("CurrentMaterial").Copies("current_material", Write::kField),
    Number("CurrentOverhead", "Current Overhead").In("cp_grp").Loads("CurrentOverhead").Copies("current_overhead", Write::kField),
    Number("CurrentLabour", "Current Labour").In("cp_grp").Loads("CurrentLabour").Copies("current_labour", Write::kField),
    Number("CurrentSubcontra", "Current Outwork").In("cp_grp").Loads("CurrentSubContra").Copies("current_subcontrac", Write::kField),
    Number("MaterialOnCost", "Material On cost %").In("cp_grp").Loads("MaterialOnCost").Copies("material_on_cost", Write::kField),
    Number("OverheadOnCost", "Overhead On cost %").In("cp_grp").Loads("OverheadOnCost").Copies("overhead_on_cost", Write::kField),
    Number("LabourOnCost", "Labour On cost %").In("cp_grp").Loads("LabourOnCost").Copies("labour_on_cost", Write::kNumber),
    Number("SubOnCost", "Outwork On cost %").In("cp_grp").Loads("SubOnCost").Copies("sub_oncost_", Write::kField),
    Date("LastRevalue", "Last revalued on", 10).In("cp_grp").Browse("Date").LoadsWhenPresent("LastRevalue").Copies("last_revalue", Write::kDateD2),
    Text("VatInclusive", "VAT on price?", 1).In("cp_grp").Loads("VatInclusive").Copies("vat_inclusive", Write::kText),
    Number("StandardPrice", "Standard price").In("cp_grp").Loads("price").Copies("price", Write::kField),
    Text("SellingUnit", "Std selling units", 10).In("cp_grp").Browse("stock_units").Loads("SellingUnit").Copies("selling_unit", Write::kText),
    Number("SellingFactor", "Std selling factor").In("cp_grp").Loads("SellingFactor").Copies("selling_factor", Write::kNumber),
    Text("DespatchUnit", "Despatch units", 10).In("cp_grp").Browse("stock_units").Loads("DespatchUnits").Copies("despatch_units", Write::kText),
    Text("StdCostFreeze", "Std cost freeze", 1).In("cp_grp").Loads("StdCostFreeze").Copies("std_cost_freeze", Write::kText),
    Number("ExpectedCost", "Expected cost").In("cp_grp").Loads("ExpectedCost").Copies("expected_cost", Write::kNumber),
    Text("BuyingUnit", "Std buying units", 10).In("cp_grp").Browse("stock_units").Loads("PurchaseUnit").Copies("purchase_unit", Write::kText),
    Number("BuyingFactor", "Std buying factor").In("cp_grp").Loads("PurchaseFactor").Copies("purchase_factor", Write::kText),
    Text("DespatchUnitUse", "Despatch unit use", 1).In("cp_grp").Loads("DespatchUnitUse").Copies("despatch_unit_use", Write::kText),
    Text("StockVatType", "VAT type", 10).In("ld_grp").Browse("vat_type").Loads("StockVatType").Copies("stock_vat_type", Write::kText),
    Text("Discount", "SOP discount code", 8).In("ld_grp").Loads("discount").Copies("discount", Write::kText),
    Text("PricingDiscount", "POP discount code", 8).In("ld_grp").Loads("PricingDiscount").Copies("pricing_discount", Write::kText),
    Text("AbcCategory", "ABC rating", 1).In("ld_grp").Loads("AbcCategory").Copies("abc_category", Write::kText),
    Text("SuperSession", "Supersession", 22).In("as_grp").Browse("supersession").AnyCode().Loads("supersession").Copies("supersession", Write::kText),
    Date("SupsessionDate", "Date", 10).In("as_grp").Browse("Date").Loads("SupSessionDate").Copies("supsession_date", Write::kDateD1),
    Text("Alternatives01", "Alternative 1", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 1).Copies("alternatives01", Write::kText),
    Text("Alternatives02", "Alternative 2", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 2).Copies("alternatives02", Write::kText),
    Text("Alternatives03", "Alternative 3", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 3).Copies("alternatives03", Write::kText),
    Text("Alternatives04", "Alternative 4", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 4).Copies("alternatives04", Write::kText),
    Text("Alternatives05", "Alternative 5", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 5).Copies("alternatives05", Write::kText),
    Text("Alternatives06", "Alternative 6", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 6).Copies("alternatives06", Write::kText),
    Text("Alternatives07", "Alternative 7", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 7).Copies("alternatives07", Write::kText),
    Text("Alternatives08", "Alternative 8", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 8).Copies("alternatives08", Write::kText),
    Text("Alternatives09", "Alternative 9", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 9).Copies("alternatives09", Write::kText),
    Text("Alternatives10", "Alternative 10", 22).In("as_grp").Browse("Alternatives").Loads("Alternatives", 10).Copies("alternatives10", Write::kText),
    Number("StockWidth", "Width").In("d_grp").Loads("StockWidth").Copies("stock_width", Write::kText),
    Text("UnitWidth", "Width Unit", 4).In("d_grp").Loads("UnitWidth").Copies("unit_width", Write::kText),
    Number("StockLength", "Length").In("d_grp").Loads("StockLength").Copies("stock_length", Write::kText),
    Text("UnitLength", "Length Unit", 4).In("d_grp").Loads("UnitLength").Copies("unit_length", Write::kText),
    Number("StockHeight", "Height").In("d_grp").Loads("StockHeight").Copies("stock_height", Write::kText),
    Text("UnitHeight", "Height Unit", 4).In("d_grp").Loads("UnitHeight").Copies("unit_height", Write::kText),
    Text("DrawingNumber", "Drawing", 20).In("d_grp").Loads("DrawingNumber").Copies("drawing_number", Write::kText),
    Text("CatalogueNumber", "Catalogue", 20).In("d_grp").Loads("CatalogueNumber").Copies("catalogue_number", Write::kText),
    Text("Packaging", "Package", 10).In("d_grp").Browse("package").Loads("packaging").Copies("packaging", Write::kText),
    Text("ShippingCategory", "Ship cat.", 10).In("d_grp").Loads("ShippingCategory").Copies("shipping_category", Write::kText),
    Text("PageNumber", "Sheet", 3).In("td_grp").Loads("PageNumber").Copies("page_number", Write::kField),
    Text("TEXT01", "Tech Desc Line 1", 60).Heading("Line 1").In("td_grp").Loads("TechnicalDesc", 1).Copies("text01", Write::kField),
    Text("TEXT02", "Tech Desc Line 2", 60).Heading("Line 2").In("td_grp").Loads("TechnicalDesc", 2).Copies("text02", Write::kField),
    Text("TEXT03", "Tech Desc Line 3", 60).Heading("Line 3").In("td_grp").Loads("TechnicalDesc", 3).Copies("text03", Write::kField),
    Text("TEXT04", "Tech Desc Line 4", 60).Heading("Line 4").In("td_grp").Loads("TechnicalDesc", 4).Copies("text04", Write::kField),
    Text("TEXT05", "Tech Desc Line 5", 60).Heading("Line 5").In("td_grp").Loads("TechnicalDesc", 5).Copies("text05", Write::kField),
    Text("TEXT06", "Tech Desc Line 6", 60).Heading("Line 6").In("td_grp").Loads("TechnicalDesc", 6).Copies("text06", Write::kField),
    Text("TEXT07", "Tech Desc Line 7", 60).Heading("Line 7").In("td_grp").Loads("TechnicalDesc", 7).Copies("text07", Write::kField),
    Text("TEXT08", "Tech Desc Line 8", 60).Heading("Line 8").In("td_grp").Loads("TechnicalDesc", 8).Copies("text08", Write::kField),
    Text("TEXT09", "Tech Desc Line 9", 60).Heading("Line 9").In("td_grp").Loads("TechnicalDesc", 9).Copies("text09", Write::kField),
    Text("TEXT10", "Tech Desc Line 10", 60).Heading("Line 10").In("td_grp").Loads("TechnicalDesc", 10).Copies("text10", Write::kField),
    Text("TEXT11", "Tech Desc Line 11", 60).Heading("Line 11").In("td_grp").Loads("TechnicalDesc", 11).Copies("text11", Write::kField),
    Text("TEXT12", "Tech Desc Line 12", 60).Heading("Line 12").In("td_grp").Loads("TechnicalDesc", 12).Copies("text12", Write::kField),
    Number("PhysicalQty", "Physical").In("ssd_grp").Loads("PhysicalQty").Copies("physical_qty", Write::kNumber),
    Number("AllocatedQty", "Allocated").In("ssd_grp").Copies("allocated_qty", Write::kNumber),
    Number("ForwardOrderQty", "Forward order").In("ssd_grp").Copies("forward_order_qty", Write::kNumber),
    Number("BackOrderQty", "Back order").In("ssd_grp").Copies("back_order_qty", Write::kNumber),
    Number("OnOrderQty", "On order").In("ssd_grp").Copies("on_order_qty", Write::kNumber),
    Number("UninspectedQty", "Uninspected").In("ssd_grp").Copies("uninspected_qty", Write::kField),
    Date("StockDate", "Last checked", 10).In("ssd_grp").Browse("Date").Copies("stock_date", Write::kDateD3),
    Date("IssueDate", "Last issue", 10).In("ssd_grp").Browse("Date").Copies("issue_date", Write::kDateD1),
    Number("MonthToDate01", "MTD Sales").In("ssd_grp").Copies("month_to_date01", Write::kNumber),
    Number("MonthToDate02", "MTD Issues").In("ssd_grp").Copies("month_to_date02", Write::kNumber),
    Number("MonthToDate06", "MTD Scrapped").In("ssd_grp").Copies("month_to_date06", Write::kNumber),
    Number("MonthToDate04", "MTD Adjustments").In("ssd_grp").Copies("month_to_date04", Write::kNumber),
    Number("MonthToDate05", "MTD Transfers").In("ssd_grp").Copies("month_to_date05", Write::kNumber),
    Number("MonthToDate03", "MTD Goods in").In("ssd_grp").Copies("month_to_date03", Write::kNumber),
    Number("MonthToDate08", "MTD Returns").In("ssd_grp").Copies("month_to_date08", Write::kNumber),
    Number("MonthToDate07", "MTD Receipts").In("ssd_grp").Copies("month_to_date07", Write::kNumber),
    Number("MonthToDate09", "MTD Dekits").In("ssd_grp").Copies("month_to_date09", Write::kNumber),
    Number("MonthToDate10", "MTD Reworks").In("ssd_grp").Copies("month_to_date10", Write::kNumber),
    Number("YearToDate01", "YTD Sales").In("ssd_grp").Copies("year_to_date01", Write::kNumber),
    Number("YearToDate02", "YTD Issues").In("ssd_grp").Copies("year_to_date02", Write::kNumber),
    Number("YearToDate06", "YTD Scrapped").In("ssd_grp").Copies("year_to_date06", Write::kNumber),
    Number("YearToDate04", "YTD Adjustments").In("ssd_grp").Copies("year_to_date04", Write::kNumber),
    Number("YearToDate05", "YTD Transfers").In("ssd_grp").Copies("year_to_date05", Write::kNumber),
    Number("YearToDate03", "YTD Goods in").In("ssd_grp").Copies("year_to_date03", Write::kNumber),
    Number("YearToDate08", "YTD Returns").In("ssd_grp").Copies("year_to_date08", Write::kNumber),
    Number("YearToDate07", "YTD Receipts").In("ssd_grp").Copies("year_to_date07", Write::kNumber),
    Number("YearToDate09", "YTD Dekits").In("ssd_grp").Copies("year_to_date09", Write::kNumber),
    Number("YearToDate10", "YTD Reworks").In("ssd_grp").Copies("year_to_date10", Write::kNumber),
    Number("PreviousSaleVal1", "Last 3 months sales (1)").In("ssd_grp").Copies("previous_sale_val1", Write::kNumber),
    Number("PreviousSaleVal2", "Last 3 months sales (2)").In("ssd_grp").Copies("previous_sale_val2", Write::kNumber),
    Number("PreviousSaleVal3", "Last 3 months sales (3)").In("ssd_grp").Copies("previous_sale_val3", Write::kNumber),
    Number("AverageSaleValu", "4 months average").In("ssd_grp").Copies("average_sales_valu", Write::kNumber),
    Number("PeriodDemand01", "Period 01 Demand").In("pud_grp").Copies("period_demand01", Write::kNumber),
    Number("PeriodDemand02", "Period 02 Demand").In("pud_grp").Copies("period_demand02", Write::kNumber),
    Number("PeriodDemand03", "Period 03 Demand").In("pud_grp").Copies("period_demand03", Write::kNumber),
    Number("PeriodDemand04", "Period 04 Demand").In("pud_grp").Copies("period_demand04", Write::kNumber),
    Number("PeriodDemand05", "Period 05 Demand").In("pud_grp").Copies("period_demand05", Write::kNumber),
    Number("PeriodDemand06", "Period 06 Demand").In("pud_grp").Copies("period_demand06", Write::kNumber),
    Number("PeriodDemand07", "Period 07 Demand").In("pud_grp").Copies("period_demand07", Write::kNumber),
    Number("PeriodDemand08", "Period 08 Demand").In("pud_grp").Copies("period_demand08", Write::kNumber),
    Number("PeriodDemand09", "Period 09 Demand").In("pud_grp").Copies("period_demand09", Write::kNumber),
    Number("PeriodDemand10", "Period 10 Demand").In("pud_grp").Copies("period_demand10", Write::kNumber),
    Number("PeriodDemand11", "Period 11 Demand").In("pud_grp").Copies("period_demand11", Write::kNumber),
    Number("PeriodDemand12", "Period 12 Demand").In("pud_grp").Copies("period_demand12", Write::kNumber),
    Number("PeriodIssueQty01", "Period 01 Movement").In("pud_grp").Copies("period_issue_qty01", Write::kNumber),
    Number("PeriodIssueQty02", "Period 02 Movement").In("pud_grp").Copies("period_issue_qty02", Write::kNumber),
    Number("PeriodIssueQty03", "Period 03 Movement").In("pud_grp").Copies("period_issue_qty03", Write::kNumber),
    Number("PeriodIssueQty04", "Period 04 Movement").In("pud_grp").Copies("period_issue_qty04", Write::kNumber),
    Number("PeriodIssueQty05", "Period 05 Movement").In("pud_grp").Copies("period_issue_qty05", Write::kNumber),
    Number("PeriodIssueQty06", "Period 06 Movement").In("pud_grp").Copies("period_issue_qty06", Write::kNumber),
    Number("PeriodIssueQty07", "Period 07 Movement").In("pud_grp").Copies("period_issue_qty07", Write::kNumber),
    Number("PeriodIssueQty08", "Period 08 Movement").In("pud_grp").Copies("period_issue_qty08", Write::kNumber),
    Number("PeriodIssueQty09", "Period 09 Movement").In("pud_grp").Copies("period_issue_qty09", Write::kNumber),
    Number("PeriodIssueQty10", "Period 10 Movement").In("pud_grp").Copies("period_issue_qty10", Write::kNumber),
    Number("PeriodIssueQty11", "Period 11 Movement").In("pud_grp").Copies("period_issue_qty11", Write::kNumber),
    Number("PeriodIssueQty12", "Period 12 Movement").In("pud_grp").Copies("period_issue_qty12", Write::kNumber),
    Number("PeriodIssueVal01", "Period 01 Value").In("pud_grp").Copies("period_issue_val01", Write::kNumber),
    Number("PeriodIssueVal02", "Period 02 Value").In("pud_grp").Copies("period_issue_val02", Write::kNumber),
    Number("PeriodIssueVal03", "Period 03 Value").In("pud_grp").Copies("period_issue_val03", Write::kNumber),
    Number("PeriodIssueVal04", "Period 04 Value").In("pud_grp").Copies("period_issue_val04", Write::kNumber),
    Number("PeriodIssueVal05", "Period 05 Value").In("pud_grp").Copies("period_issue_val05", Write::kNumber),
    Number("PeriodIssueVal06", "Period 06 Value").In("pud_grp").Copies("period_issue_val06", Write::kNumber),
    Number("PeriodIssueVal07", "Period 07 Value").In("pud_grp").Copies("period_issue_val07", Write::kNumber),
    Number("PeriodIssueVal08", "Period 08 Value").In("pud_grp").Copies("period_issue_val08", Write::kNumber),
    Number("PeriodIssueVal09", "Period 09 Value").In("pud_grp").Copies("period_issue_val09", Write::kNumber),
    Number("PeriodIssueVal10", "Period 10 Value").In("pud_grp").Copies("period_issue_val10", Write::kNumber),
    Number("PeriodIssueVal11", "Period 11 Value").In("pud_grp").Copies("period_issue_val11", Write::kNumber),
    Number("PeriodIssueVal12", "Period 12 Value").In("pud_grp").Copies("period_issue_val12", Write::kNumber),
    Text("StatisticsInd", "Statistics Indicator", 1).In("ec_grp").Loads("StatInd").Copies("statind", Write::kField),
    Text("ProcessInd", "Process indicator", 1).In("ec_grp").Loads("ProcInd").Copies("procind", Write::kField),
    Text("Commodity", "Commodity Code", 12).In("ec_grp").Loads("Commodity").Copies("commodity", Write::kField),
    Number("SuppUnitQty", "Size in Supplementary Units").In("ec_grp").Loads("SuppUnitQty").Copies("suppunitqty", Write::kField),
    Text("CountryOrig", "Country of Origin", 2).In("ec_grp").Loads("CountryOrig").Copies("country_orig", Write::kField),
    Text("sage_company", "Sage Company", 10).Company(),
    Text("ReplenishCategory", "Replenish Category(For V7)", 3).Heading("Replenish Category").In("ip_grp").Browse("replenish_category").Version7().Loads("ReplenishCategory").Copies("replenish_category", Write::kText),
    Text("Held?", "Held(For V7)", 1).Heading("Held?").In("ip_grp").Version7().Loads("Held").Copies("held_flag", Write::kText),
    Text("Obsolete", "Obsolete(For V7)", 1).Heading("Obsolete").In("ip_grp").Version7().Loads("Obsolete").Copies("obsolete_flag", Write::kText),
};
// clang-format on

// A range by name, checked when compiling.
consteval std::size_t R(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kRanges); ++i)
    if (kRanges[i].name == name) return i;
  throw "no such range";
}

// LoadWarehouseAndProduct, LoadDetail and LoadTechDescription read, in order. At "PageNumber"
// LoadDetail runs LoadTechDescription. "Warehouse" is LoadWarehouseAndProduct's; the
// download-only ranges other than "PhysicalQty", and "sage_company", are never read back.
constexpr std::array kKeyLoads{R("Warehouse"), R("Product")};
constexpr std::array kDetailLoads{R("Description"),
                                  R("Product"),
                                  R("LongDescription"),
                                  R("MakeOrBuy"),
                                  R("Alpha"),
                                  R("DrawingNumber"),
                                  R("AnalysisA"),
                                  R("AnalysisB"),
                                  R("AnalysisC"),
                                  R("AnalysisD"),
                                  R("AnalysisE"),
                                  R("AnalysisF"),
                                  R("AnalysisXRef"),
                                  R("NominalKey"),
                                  R("PurchaseKey"),
                                  R("Supplier"),
                                  R("PhysicalQty"),
                                  R("SuperSession"),
                                  R("AbcCategory"),
                                  R("VatInclusive"),
                                  R("PageNumber"),
                                  R("SupsessionDate"),
                                  R("LastRevalue"),
                                  R("UnitCode"),
                                  R("Weight"),
                                  R("WeightLow"),
                                  R("Discount"),
                                  R("PricingDiscount"),
                                  R("ReviewDays"),
                                  R("bincode"),
                                  R("QtyDecimalPlaces"),
                                  R("ShelfLife"),
                                  R("BulkItem"),
                                  R("StockTakeToleran"),
                                  R("SerialNumbers"),
                                  R("Traceability"),
                                  R("SellingUnit"),
                                  R("BuyingUnit"),
                                  R("SellingFactor"),
                                  R("DespatchUnit"),
                                  R("StdCostFreeze"),
                                  R("ExpectedCost"),
                                  R("StandardMaterial"),
                                  R("CurrentMaterial"),
                                  R("MaterialOnCost"),
                                  R("StandardLabour"),
                                  R("CurrentLabour"),
                                  R("LabourOnCost"),
                                  R("StandardOverhead"),
                                  R("OverheadOnCost"),
                                  R("CurrentOverhead"),
                                  R("DespatchUnitUse"),
                                  R("UnitLength"),
                                  R("UnitWidth"),
                                  R("UnitHeight"),
                                  R("StockLength"),
                                  R("StockWidth"),
                                  R("StockHeight"),
                                  R("Packaging"),
                                  R("ShippingCategory"),
                                  R("CatalogueNumber"),
                                  R("Alternatives01"),
                                  R("Alternatives02"),
                                  R("Alternatives03"),
                                  R("Alternatives04"),
                                  R("Alternatives05"),
                                  R("Alternatives06"),
                                  R("Alternatives07"),
                                  R("Alternatives08"),
                                  R("Alternatives09"),
                                  R("Alternatives10"),
                                  R("StockVatType"),
                                  R("StockType"),
                                  R("BuyerId"),
                                  R("StandardPrice"),
                                  R("StandardSubcontra"),
                                  R("CurrentSubcontra"),
                                  R("SubOnCost"),
                                  R("StatisticsInd"),
                                  R("ProcessInd"),
                                  R("Commodity"),
                                  R("CountryOrig"),
                                  R("SuppUnitQty"),
                                  R("MinStockLevel"),
                                  R("SafetyStockLevel"),
                                  R("MaxStockLeve"),
                                  R("LeadTime"),
                                  R("ReorderDays"),
                                  R("SafetyDays"),
                                  R("SetupCost"),
                                  R("InspectCycle"),
                                  R("InspectionYield"),
                                  R("MpsType"),
                                  R("EconomicReorderQ"),
                                  R("MrpReorderRoundi"),
                                  R("ReorderFreeze"),
                                  R("MrpBatching"),
                                  R("WorkingLevel"),
                                  R("DSpare01"),
                                  R("PrYield"),
                                  R("LastSupplier"),
                                  R("LevelofDetail"),
                                  R("BuyingFactor"),
                                  R("Expense"),
                                  R("delivery_qty_tol"),
                                  R("call_off_qty_tol"),
                                  R("Held?"),
                                  R("Obsolete"),
                                  R("ReplenishCategory")};
constexpr std::array kTechDescriptionLoads{
    R("PageNumber"), R("TEXT01"), R("TEXT02"), R("TEXT03"), R("TEXT04"), R("TEXT05"), R("TEXT06"),
    R("TEXT07"),     R("TEXT08"), R("TEXT09"), R("TEXT10"), R("TEXT11"), R("TEXT12")};

// What each copy routine writes, in order.
constexpr std::array kStockCopies{R("Warehouse"),
                                  R("Description"),
                                  R("LongDescription"),
                                  R("Product"),
                                  R("Supplier"),
                                  R("bincode"),
                                  R("UnitCode"),
                                  R("AnalysisA"),
                                  R("AnalysisB"),
                                  R("AnalysisC"),
                                  R("Alpha"),
                                  R("AnalysisXRef"),
                                  R("Packaging"),
                                  R("MakeOrBuy"),
                                  R("VatInclusive"),
                                  R("SellingUnit"),
                                  R("DespatchUnit"),
                                  R("DrawingNumber"),
                                  R("ReviewDays"),
                                  R("SupsessionDate"),
                                  R("Alternatives01"),
                                  R("Alternatives02"),
                                  R("Alternatives03"),
                                  R("Alternatives04"),
                                  R("Alternatives05"),
                                  R("Alternatives06"),
                                  R("Alternatives07"),
                                  R("Alternatives08"),
                                  R("Alternatives09"),
                                  R("Alternatives10"),
                                  R("StdCostFreeze"),
                                  R("Traceability"),
                                  R("ShippingCategory"),
                                  R("SerialNumbers"),
                                  R("AbcCategory"),
                                  R("NominalKey"),
                                  R("PurchaseKey"),
                                  R("LastRevalue"),
                                  R("BuyerId"),
                                  R("SuperSession"),
                                  R("QtyDecimalPlaces"),
                                  R("DespatchUnitUse"),
                                  R("StockVatType"),
                                  R("UnitLength"),
                                  R("UnitHeight"),
                                  R("UnitWidth"),
                                  R("StockWidth"),
                                  R("StockHeight"),
                                  R("StockLength"),
                                  R("CatalogueNumber"),
                                  R("Discount"),
                                  R("PricingDiscount"),
                                  R("BuyingUnit"),
                                  R("BuyingFactor"),
                                  R("StockType"),
                                  R("BulkItem"),
                                  R("StockTakeToleran"),
                                  R("StandardMaterial"),
                                  R("StandardOverhead"),
                                  R("StandardLabour"),
                                  R("CurrentMaterial"),
                                  R("CurrentOverhead"),
                                  R("CurrentLabour"),
                                  R("MaterialOnCost"),
                                  R("OverheadOnCost"),
                                  R("SubOnCost"),
                                  R("StandardSubcontra"),
                                  R("CurrentSubcontra"),
                                  R("UninspectedQty"),
                                  R("StandardPrice"),
                                  R("IssueDate"),
                                  R("LabourOnCost"),
                                  R("ExpectedCost"),
                                  R("SellingFactor"),
                                  R("ShelfLife"),
                                  R("Weight"),
                                  R("WeightLow"),
                                  R("PhysicalQty"),
                                  R("AllocatedQty"),
                                  R("ForwardOrderQty"),
                                  R("BackOrderQty"),
                                  R("OnOrderQty"),
                                  R("StockDate"),
                                  R("MinStockLevel"),
                                  R("MaxStockLeve"),
                                  R("SafetyStockLevel"),
                                  R("LeadTime"),
                                  R("ReorderDays"),
                                  R("SafetyDays"),
                                  R("SetupCost"),
                                  R("InspectCycle"),
                                  R("InspectionYield"),
                                  R("MpsType"),
                                  R("EconomicReorderQ"),
                                  R("MrpReorderRoundi"),
                                  R("ReorderFreeze"),
                                  R("MrpBatching"),
                                  R("WorkingLevel"),
                                  R("DSpare01"),
                                  R("PrYield"),
                                  R("LastSupplier"),
                                  R("LevelofDetail"),
                                  R("MonthToDate01"),
                                  R("MonthToDate02"),
                                  R("MonthToDate03"),
                                  R("MonthToDate04"),
                                  R("MonthToDate05"),
                                  R("MonthToDate06"),
                                  R("MonthToDate07"),
                                  R("MonthToDate08"),
                                  R("MonthToDate09"),
                                  R("MonthToDate10"),
                                  R("YearToDate01"),
                                  R("YearToDate02"),
                                  R("YearToDate03"),
                                  R("YearToDate04"),
                                  R("YearToDate05"),
                                  R("YearToDate06"),
                                  R("YearToDate07"),
                                  R("YearToDate08"),
                                  R("YearToDate09"),
                                  R("YearToDate10"),
                                  R("PreviousSaleVal1"),
                                  R("PreviousSaleVal2"),
                                  R("PreviousSaleVal3"),
                                  R("AverageSaleValu"),
                                  R("PeriodDemand01"),
                                  R("PeriodDemand02"),
                                  R("PeriodDemand03"),
                                  R("PeriodDemand04"),
                                  R("PeriodDemand05"),
                                  R("PeriodDemand06"),
                                  R("PeriodDemand07"),
                                  R("PeriodDemand08"),
                                  R("PeriodDemand09"),
                                  R("PeriodDemand10"),
                                  R("PeriodDemand11"),
                                  R("PeriodDemand12"),
                                  R("PeriodIssueQty01"),
                                  R("PeriodIssueQty02"),
                                  R("PeriodIssueQty03"),
                                  R("PeriodIssueQty04"),
                                  R("PeriodIssueQty05"),
                                  R("PeriodIssueQty06"),
                                  R("PeriodIssueQty07"),
                                  R("PeriodIssueQty08"),
                                  R("PeriodIssueQty09"),
                                  R("PeriodIssueQty10"),
                                  R("PeriodIssueQty11"),
                                  R("PeriodIssueQty12"),
                                  R("PeriodIssueVal01"),
                                  R("PeriodIssueVal02"),
                                  R("PeriodIssueVal03"),
                                  R("PeriodIssueVal04"),
                                  R("PeriodIssueVal05"),
                                  R("PeriodIssueVal06"),
                                  R("PeriodIssueVal07"),
                                  R("PeriodIssueVal08"),
                                  R("PeriodIssueVal09"),
                                  R("PeriodIssueVal10"),
                                  R("PeriodIssueVal11"),
                                  R("PeriodIssueVal12")};
// The tolerances are downloaded too, so that an unedited row uploads them unchanged.
constexpr std::array kExtensionCopies{R("AnalysisD"), R("AnalysisE"), R("AnalysisF"),
                                      R("delivery_qty_tol"), R("call_off_qty_tol")};
constexpr std::array kExpenseCopies{R("Expense")};
constexpr std::array kVersion7Copies{R("Held?"), R("Obsolete"), R("ReplenishCategory")};
constexpr std::array kEcCopies{R("StatisticsInd"), R("ProcessInd"), R("Commodity"),
                               R("CountryOrig"), R("SuppUnitQty")};
constexpr std::array kTechDescriptionCopies{
    R("PageNumber"), R("TEXT01"), R("TEXT02"), R("TEXT03"), R("TEXT04"), R("TEXT05"), R("TEXT06"),
    R("TEXT07"),     R("TEXT08"), R("TEXT09"), R("TEXT10"), R("TEXT11"), R("TEXT12")};

bool IsDownloadOnlyGroup(std::string_view group) {
  return group == "ssd_grp" || group == "pud_grp";
}

// A cell number for a 16-bit property, rounded half to even as the host's whole-number conversion
// does; a value outside the range is an error, never a wrap-around.
std::int16_t ToWhole(double value, std::string_view range, std::int32_t row) {
  double rounded = std::nearbyint(value);
  if (!std::isfinite(rounded) || rounded < INT16_MIN || rounded > INT16_MAX)
    throw AppError(VbError::kOverflow, "",
                   fmt::format("Overflow: the value {} in range \"{}\" row {} is not a whole "
                               "number from -32768 to 32767",
                               value, range, row));
  return static_cast<std::int16_t>(rounded);
}

// A date field: a date, a serial number, or a text "yyyy-mm-dd[ hh:mm:ss]", "dd/mm/yyyy[ hh:mm:ss]"
// or "hh:mm:ss" as text-typed timestamp columns return it.
OleDate FieldDate(const Variant& value, std::string_view column) {
  if (!value.IsText()) return value.ToDate();
  const std::string text = value.ToText();
  int a = 0, b = 0, c = 0, hour = 0, minute = 0;
  double second = 0;
  char s1 = 0, s2 = 0;
  int fields = std::sscanf(text.c_str(), "%d%c%d%c%d %d:%d:%lf", &a, &s1, &b, &s2, &c, &hour,
                           &minute, &second);
  if (fields >= 5 && s1 == ':' && s2 == ':') return OleDate{(a * 3600 + b * 60 + c) / 86400.0};
  long days = 0;
  if (fields >= 5 && s1 == '-' && s2 == '-')
    days = OleCalendar::DaysFromCivil(a, b, c);
  else if (fields >= 5 && s1 == '/' && s2 == '/')
    days = OleCalendar::DaysFromCivil(c, b, a);
  else
    throw AppError(VbError::kTypeMismatch, "",
                   "Type mismatch: column \"" + std::string(column) + "\" holds '" + text +
                       "', which is not a date");
  double time = fields >= 7 ? (hour * 3600 + minute * 60 + second) / 86400.0 : 0;
  return OleDate{static_cast<double>(days) + (days < 0 ? -time : time)};
}

// D1: null empty, the zero date one blank. D2: also 31/12/1899 one blank. D3: null one blank too.
// Any other value is a date written as the connection shows it.
std::string DateCellText(const Variant& value, std::string_view column, Write write,
                         const clsOrvStockRanges::DateFormatter& format) {
  if (value.IsNull() || value.IsEmpty()) return write == Write::kDateD3 ? " " : "";
  OleDate date = FieldDate(value, column);
  if (date.serial == 0) return " ";
  if (write == Write::kDateD2 && date.serial == 1) return " ";
  if (!format)
    throw AppError(VbError::kObjectNotSet, "",
                   "The range catalogue has no date formatting to write dates");
  return format(date);
}

}  // namespace

RangeList& clsOrvStockRanges::List() const {
  if (!range_list_)
    throw AppError(VbError::kObjectNotSet, "",
                   "The range catalogue has no range list to work with");
  return *range_list_;
}

clsOrvStock& clsOrvStockRanges::Stock() const {
  if (!orv_stock_)
    throw AppError(VbError::kObjectNotSet, "",
                   "The range catalogue has no stock object to load into");
  return *orv_stock_;
}

RangeDefinition& clsOrvStockRanges::Define(std::size_t range, std::int32_t layout) {
  const RangeRow& row = kRanges[range];
  const bool has_browse = !row.browse_list.empty();
  RangeDefinition& definition = List().DefineRange(
      std::string(row.name), layout, row.type, 0, 0, std::string(row.description), row.length, 0,
      "", has_browse || row.company, row.company ? "company" : "", "");
  if (!row.company)
    definition.Heading = std::string(row.heading.empty() ? row.description : row.heading);
  if (!row.group.empty()) definition.GroupKey = std::string(row.group);
  if (has_browse) {
    definition.BrowseFromList = !row.any_code;
    definition.BrowseList = std::string(row.browse_list);
  }
  if (IsDownloadOnlyGroup(row.group)) definition.DownloadOnly = true;
  if (row.code_option) definition.CodeOption = row.code_option;
  if (row.key) definition.KeyRange = true;
  if (row.company) definition.CompanyRange = true;
  return definition;
}

void clsOrvStockRanges::DefineRanges() {
  Trap("DefineRanges of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    RangeList& list = List();
    if (list.RangeCount() >= 1 && !force_rebuild_) return;

    line = 20;
    auto& groups = list.RangeGroups();
    groups.clear();
    for (const auto& group : kGroups)
      groups.push_back({std::string(group.caption), std::string(group.key), ""});

    line = 30;
    list.ClearDefinitions();
    DefineWarehouseAndProductRanges();

    line = 40;
    for (std::size_t i = 0; i < std::size(kRanges); ++i) {
      const RangeRow& row = kRanges[i];
      if (row.key || row.company || row.version7 || row.group == kTechnicalDescriptionGroup.key)
        continue;
      if (i == R("PageNumber")) continue;
      Define(i, RangeDefinition::kColumn);
      if (i + 1 == R("PageNumber")) DefineTechnicalDescriptionRanges();
    }

    line = 50;
    DefineSageCompanyRange();
  });
}

void clsOrvStockRanges::DefineWarehouseAndProductRanges() {
  Trap("DefineWarehouseAndProductRanges of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    std::int32_t layout =
        warehouse_and_product_as_header_ ? RangeDefinition::kHeaderCell : RangeDefinition::kColumn;

    line = 20;
    Define(R("Warehouse"), layout);

    line = 30;
    Define(R("Product"), layout);
  });
}

void clsOrvStockRanges::DefineTechnicalDescriptionRanges() {
  Trap("DefineTechnicalDescriptionRanges of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    List().RangeGroups().push_back({std::string(kTechnicalDescriptionGroup.caption),
                                    std::string(kTechnicalDescriptionGroup.key), ""});

    line = 20;
    for (std::size_t range : kTechDescriptionLoads) Define(range, RangeDefinition::kColumn);
  });
}

void clsOrvStockRanges::DefineSageCompanyRange() {
  Define(R("sage_company"), RangeDefinition::kHeaderCell);
}

void clsOrvStockRanges::DefineWorkbookRanges(int erp_version, bool pages) {
  if (pages) {
    SetWarehouseAndProductAsHeader(true);
    DefineWarehouseAndProductRanges();
    DefineTechnicalDescriptionRanges();
    DefineSageCompanyRange();
  } else {
    DefineRanges();
    if (erp_version > 6) DefineVersion7Ranges();
  }
}

void clsOrvStockRanges::DefineVersion7Ranges() {
  for (std::size_t i = 0; i < std::size(kRanges); ++i)
    if (kRanges[i].version7) Define(i, RangeDefinition::kColumn);
}

void clsOrvStockRanges::Load(std::size_t range) {
  const RangeRow& row = kRanges[range];
  RangeList& list = List();
  clsOrvStock& stock = Stock();
  const auto field = StockFields::Any::At(row.field);
  if (row.item) stock.ArrayIndex(row.item);
  bool present = false;
  switch (StockFields::kAll[row.field].kind) {
    case StockFields::Kind::Text: {
      std::string text = list.GetCellValue(row.name, index_, present);
      stock.SetIs(field, present);
      stock.SetText(StockFields::TextField::At(row.field), std::move(text));
      break;
    }
    case StockFields::Kind::Whole: {
      double number = list.GetCellNumber(row.name, index_, present);
      stock.SetIs(field, present);
      stock.SetWhole(StockFields::WholeField::At(row.field), ToWhole(number, row.name, index_));
      break;
    }
    case StockFields::Kind::Number: {
      double number = 0;
      if (row.type == RangeDefinition::kDate)
        number = list.GetCellDate(row.name, index_, present).serial;
      else
        number = list.GetCellNumber(row.name, index_, present);
      stock.SetIs(field, present);
      if (row.read == Read::kValue || stock.Is(field))
        stock.SetNumber(StockFields::NumberField::At(row.field), number);
      break;
    }
  }
}

void clsOrvStockRanges::LoadWarehouseAndProduct() {
  Trap("LoadWarehouseAndProduct of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    Load(kKeyLoads[0]);
    line = 20;
    Load(kKeyLoads[1]);
  });
}

void clsOrvStockRanges::LoadDetail() {
  Trap("LoadDetail of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    List().SetIncludeBlankCells(!ignore_blanks_);

    int step = 0;
    for (std::size_t range : kDetailLoads) {
      line = 20 + step++;
      if (kRanges[range].version7 && sage_version_ < 7) continue;
      if (range == R("PageNumber"))
        LoadTechDescription();
      else
        Load(range);
    }
  });
}

void clsOrvStockRanges::LoadTechDescription() {
  Trap("LoadTechDescription of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    clsOrvStock& stock = Stock();
    Load(R("PageNumber"));

    line = 20;
    if (!ValueConvert::IsBlank(stock.Text("PageNumber"))) stock.SttechmUpdate(1);

    line = 30;
    for (std::size_t i = 1; i < kTechDescriptionLoads.size(); ++i) {
      Load(kTechDescriptionLoads[i]);
      if (stock.Is("TechnicalDesc")) stock.SttechmUpdate(static_cast<std::int16_t>(i + 1));
    }
  });
}

void clsOrvStockRanges::CopyRows(std::span<const std::size_t> ranges, const FieldSource& rs,
                                 std::int32_t row, int& line) {
  RangeList& list = List();
  for (std::size_t range : ranges) {
    ++line;  // the write's number in the download order
    const RangeRow& copy = kRanges[range];
    switch (copy.write) {
      case Write::kNone:
        break;
      case Write::kText:
        list.SetCellValue(copy.name, rs.Field(copy.column).ToText(), row);
        break;
      case Write::kTextT1: {
        Variant value = rs.Field(copy.column);
        bool minus_one = false;
        try {
          minus_one = !value.IsNull() && !value.IsEmpty() && value.ToDouble() == -1;
        } catch (const AppError&) {
        }
        list.SetCellValue(copy.name, minus_one ? "" : value.ToText(), row);
        break;
      }
      case Write::kField:
        list.CopyFieldToCell(rs, copy.name, copy.column, row);
        break;
      case Write::kNumber:
        list.SetCellNumber(copy.name, rs.Field(copy.column).ToDouble(), row);
        break;
      case Write::kDateD1:
      case Write::kDateD2:
      case Write::kDateD3:
        list.SetCellValue(
            copy.name,
            DateCellText(rs.Field(copy.column), copy.column, copy.write, date_formatter_), row);
        break;
    }
  }
}

bool clsOrvStockRanges::HasRangesOf(Companion table) const {
  auto any = [this](std::span<const std::size_t> ranges) {
    for (std::size_t range : ranges)
      if (List().RangeExists(kRanges[range].name)) return true;
    return false;
  };
  switch (table) {
    case Companion::kEc:
      return any(kEcCopies);
    case Companion::kExtension:
      return any(kExtensionCopies);
    case Companion::kPage:
      return any(kTechDescriptionCopies);
    case Companion::kExpense:
      return any(kExpenseCopies);
  }
  return false;
}

void clsOrvStockRanges::CopyRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyRSToCells of Class Module clsOrvStockRanges Line#:", [&](int& line) {
    line = 0;
    CopyRows(kStockCopies, rs, row, line);
  });
}

void clsOrvStockRanges::CopyStockXPGRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyStockXPGRSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    int write = 0;
    CopyRows(kExtensionCopies, rs, row, write);
  });
}

void clsOrvStockRanges::CopyVersion7RSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyVersion7RSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    int write = 0;
    CopyRows(kVersion7Copies, rs, row, write);
  });
}

void clsOrvStockRanges::CopyStprexRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyStprexRSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    int write = 0;
    CopyRows(kExpenseCopies, rs, row, write);
  });
}

void clsOrvStockRanges::CopyStockeRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyStockeRSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    int write = 0;
    CopyRows(kEcCopies, rs, row, write);
  });
}

void clsOrvStockRanges::CopyTechnicalDescriptionRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyTechnicalDescriptionRSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    int write = 0;
    CopyRows(kTechDescriptionCopies, rs, row, write);
  });
}

}  // namespace orv
