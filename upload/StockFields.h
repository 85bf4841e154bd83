#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orv {

enum class StockFieldKind : std::uint8_t {
  Text,
  Number,  // a double; dates are held as OLE date serials
  Whole,   // a 16-bit whole number
};
// The table a field is written to. None: read from the sheet or worked out, never written.
enum class StockFieldHome : std::uint8_t { Stock, Extension, Ec, Expense, Page, None };

struct StockField {
  std::string_view property;
  std::string_view flag;  // the presence flag's name: "IsUnitCode"
  StockFieldKind kind;
  StockFieldHome home;
  std::string_view column;  // in its home table; for a series the common prefix
  std::int16_t count = 1;   // entries of a series
};

// The fields of an uploaded stock row: each value property of the stock business object with
// its presence flag, its kind, and where the upload writes it (the table and column). The
// business object's storage, the sheet loader and the copy into the records all follow this
// table. Alternatives and TechnicalDesc are series addressed through the object's ArrayIndex.
class StockFields {
 public:
  using Kind = StockFieldKind;
  using Home = StockFieldHome;
  using Field = StockField;

  static constexpr std::size_t kCount = 107;
  static constexpr std::array<Field, kCount> kAll = {{
      {"warehouse", "IsWarehouse", Kind::Text, Home::Stock, "warehouse"},
      {"product", "IsProduct", Kind::Text, Home::Stock, "product"},
      {"description", "IsDescription", Kind::Text, Home::Stock, "description"},
      {"LongDescription", "IsLongDescription", Kind::Text, Home::Stock, "long_description"},
      {"alpha", "IsAlpha", Kind::Text, Home::Stock, "alpha"},
      {"AnalysisA", "IsAnalysisA", Kind::Text, Home::Stock, "analysis_a"},
      {"AnalysisB", "IsAnalysisB", Kind::Text, Home::Stock, "analysis_b"},
      {"AnalysisC", "IsAnalysisC", Kind::Text, Home::Stock, "analysis_c"},
      {"AnalysisD", "IsAnalysisD", Kind::Text, Home::Extension, "analysis_d"},
      {"AnalysisE", "IsAnalysisE", Kind::Text, Home::Extension, "analysis_e"},
      {"AnalysisF", "IsAnalysisF", Kind::Text, Home::Extension, "analysis_f"},
      {"AnalysisXRef", "IsAnalysisXRef", Kind::Text, Home::Stock, "analysis_x_ref"},
      {"NominalKey", "IsNominalKey", Kind::Text, Home::Stock, "nominal_key"},
      {"PurchaseKey", "IsPurchaseKey", Kind::Text, Home::Stock, "purchase_key"},
      {"supplier", "IsSupplier", Kind::Text, Home::Stock, "supplier"},
      {"LastSupplier", "IsLastSupplier", Kind::Text, Home::Stock, "last_supplier"},
      {"Traceability", "IsTraceability", Kind::Text, Home::Stock, "batch_traceability"},
      {"UnitCode", "IsUnitCode", Kind::Text, Home::Stock, "unit_code"},
      {"DrawingNumber", "IsDrawingNumber", Kind::Text, Home::Stock, "drawing_number"},
      {"VatInclusive", "IsVatInclusive", Kind::Text, Home::Stock, "vat_inclusive"},
      {"AbcCategory", "IsAbcCategory", Kind::Text, Home::Stock, "abc_category"},
      {"MakeOrBuy", "IsMakeOrBuy", Kind::Text, Home::Stock, "make_or_buy"},
      {"BinNumber", "IsBinNumber", Kind::Text, Home::Stock, "bin_number"},
      {"SellingUnit", "IsSellingUnit", Kind::Text, Home::Stock, "selling_unit"},
      {"DespatchUnits", "IsDespatchUnit", Kind::Text, Home::Stock, "despatch_units"},
      {"StdCostFreeze", "IsStdCostFreeze", Kind::Text, Home::Stock, "std_cost_freeze"},
      {"PurchaseUnit", "IsPurchaseUnit", Kind::Text, Home::Stock, "purchase_unit"},
      {"DespatchUnitUse", "IsDespatchUnitUse", Kind::Text, Home::Stock, "despatch_unit_use"},
      {"discount", "IsDiscount", Kind::Text, Home::Stock, "discount"},
      {"PricingDiscount", "IsPricingDiscount", Kind::Text, Home::Stock, "pricing_discount"},
      {"BulkItem", "IsBulkItem", Kind::Text, Home::Stock, "bulk_item"},
      {"SerialNumbers", "IsSerialNumbers", Kind::Text, Home::Stock, "serial_numbers"},
      {"supersession", "IsSuperSession", Kind::Text, Home::Stock, "supersession"},
      {"UnitLength", "IsUnitLength", Kind::Text, Home::Stock, "unit_length"},
      {"UnitWidth", "IsUnitWidth", Kind::Text, Home::Stock, "unit_width"},
      {"UnitHeight", "IsUnitHeight", Kind::Text, Home::Stock, "unit_height"},
      {"ShippingCategory", "IsShippingCategory", Kind::Text, Home::Stock, "shipping_category"},
      {"packaging", "IsPackaging", Kind::Text, Home::Stock, "packaging"},
      {"CatalogueNumber", "IsCatalogueNumber", Kind::Text, Home::Stock, "catalogue_number"},
      {"Alternatives", "IsAlternatives", Kind::Text, Home::Stock, "alternatives", 10},
      {"DefaultWarehouse", "IsDefaultWarehouse", Kind::Text, Home::None, ""},
      {"TechnicalDesc", "IsTechnicalDesc", Kind::Text, Home::Page, "text", 12},
      {"StockVatType", "IsStockVatType", Kind::Text, Home::Stock, "stock_vat_type"},
      {"Held", "IsHeld", Kind::Text, Home::Stock, "held_flag"},
      {"Obsolete", "IsObsolete", Kind::Text, Home::Stock, "obsolete_flag"},
      {"ReplenishCategory", "IsReplenishCategory", Kind::Text, Home::Stock, "replenish_category"},
      {"StockType", "IsStockType", Kind::Text, Home::Stock, "stock_type"},
      {"BuyerId", "IsBuyerId", Kind::Text, Home::Stock, "buyer_id"},
      {"MrpBatching", "IsMrpBatching", Kind::Text, Home::Stock, "mrp_batching"},
      {"WorkingLevel", "IsWorkingLevel", Kind::Text, Home::Stock, "working_level"},
      {"ReorderFreeze", "IsReorderFreeze", Kind::Text, Home::Stock, "reorder_freeze"},
      {"PageNumber", "IsPageNumber", Kind::Text, Home::Page, "page_number"},
      {"MpsType", "IsMpsType", Kind::Text, Home::Stock, "mps_type"},
      {"LevelOfDetail", "IsLevelofDetail", Kind::Text, Home::Stock, "level_of_detail"},
      {"StatInd", "IsStatInd", Kind::Text, Home::Ec, "statind"},
      {"ProcInd", "IsProcInd", Kind::Text, Home::Ec, "procind"},
      {"Commodity", "IsCommodity", Kind::Text, Home::Ec, "commodity"},
      {"CountryOrig", "IsCountryOrig", Kind::Text, Home::Ec, "country_orig"},
      {"Expense", "IsExpense", Kind::Text, Home::Expense, "expense"},
      {"ConsumerUnit", "IsConsumerUnit", Kind::Text, Home::Extension, "consumer_unit"},
      {"CallOffQtyTolerance", "IsCallOffQtyTolerance", Kind::Text, Home::Extension,
       "call_off_qty_tol"},
      {"DeliveryQtyTolerance", "IsDeliveryQtyTolerance", Kind::Text, Home::Extension,
       "delivery_qty_tol"},
      {"ReviewDays", "IsReviewDays", Kind::Number, Home::Stock, "review_days"},
      {"LastRevalue", "IsLastRevalue", Kind::Number, Home::Stock, "last_revalue"},
      {"StandardCost", "IsStandardCost", Kind::Number, Home::Stock, "standard_cost"},
      {"SellingFactor", "IsSellingFactor", Kind::Number, Home::Stock, "selling_factor"},
      {"ExpectedCost", "IsExpectedCost", Kind::Number, Home::Stock, "expected_cost"},
      {"CurrentMaterial", "IsCurrentMaterial", Kind::Number, Home::Stock, "current_material"},
      {"CurrentOverhead", "IsCurrentOverhead", Kind::Number, Home::Stock, "current_overhead"},
      {"CurrentLabour", "IsCurrentLabour", Kind::Number, Home::Stock, "current_labour"},
      {"StandardLabour", "IsStandardLabour", Kind::Number, Home::Stock, "standard_labour"},
      {"StandardMaterial", "IsStandardMaterial", Kind::Number, Home::Stock, "standard_material"},
      {"StandardOverhead", "IsStandardOverhead", Kind::Number, Home::Stock, "standard_overhead"},
      {"OverheadOnCost", "IsOverheadOnCost", Kind::Number, Home::Stock, "overhead_on_cost"},
      {"MaterialOnCost", "IsMaterialOnCost", Kind::Number, Home::Stock, "material_on_cost"},
      {"LabourOnCost", "IsLabourOnCost", Kind::Number, Home::Stock, "labour_on_cost"},
      {"SubOnCost", "IsSubOnCost", Kind::Number, Home::Stock, "sub_oncost_"},
      {"WeightLow", "IsWeightLow", Kind::Number, Home::Stock, "weight_low"},
      {"weight", "IsWeight", Kind::Number, Home::Stock, "weight"},
      {"StockTakeToleran", "IsStockTakeToleran", Kind::Number, Home::Stock, "stock_take_toleran"},
      {"ShelfLife", "IsShelfLife", Kind::Number, Home::Stock, "shelf_life"},
      {"SupSessionDate", "IsSupsessionDate", Kind::Number, Home::Stock, "supsession_date"},
      {"StockHeight", "IsStockHeight", Kind::Number, Home::Stock, "stock_height"},
      {"StockWidth", "IsStockWidth", Kind::Number, Home::Stock, "stock_width"},
      {"StockLength", "IsStockLength", Kind::Number, Home::Stock, "stock_length"},
      {"PurchaseFactor", "IsPurchaseFactor", Kind::Number, Home::Stock, "purchase_factor"},
      {"IssueDate", "IsIssueDate", Kind::Number, Home::Stock, "issue_date"},
      {"price", "IsPrice", Kind::Number, Home::Stock, "price"},
      {"CurrentCost", "IsCurrentCost", Kind::Number, Home::Stock, "current_cost"},
      {"StandardSubcontra", "IsStandardSubcontra", Kind::Number, Home::Stock, "standard_subcontra"},
      {"CurrentSubContra", "IsCurrentSubContra", Kind::Number, Home::Stock, "current_subcontrac"},
      {"SuppUnitQty", "IsSuppUnitQty", Kind::Number, Home::Ec, "suppunitqty"},
      {"MinStockLevel", "IsMinStockLevel", Kind::Number, Home::Stock, "min_stock_level"},
      {"SafetyStockLevel", "IsSafetyStockLevel", Kind::Number, Home::Stock, "safety_stock_level"},
      {"MaximumStockLevel", "IsMaximumStockLevel", Kind::Number, Home::Stock, "maximum_stock_leve"},
      {"LeadTime", "IsLeadTime", Kind::Number, Home::Stock, "lead_time"},
      {"SafetyDays", "IsSafetyDays", Kind::Number, Home::Stock, "safety_days"},
      {"ReorderDays", "IsReorderDays", Kind::Number, Home::Stock, "reorder_days"},
      {"SetupCost", "IsSetupCost", Kind::Number, Home::Stock, "setup_cost"},
      {"InspectionYield", "IsInspectionYield", Kind::Number, Home::Stock, "inspection_yield"},
      {"EconomicReOrderQ", "IsEconomicReorderQ", Kind::Number, Home::Stock, "economic_reorder_q"},
      {"MrpReorderRoundi", "IsMrpReorderRoundi", Kind::Number, Home::Stock, "mrp_reorder_roundi"},
      {"dspare01", "IsDspare01", Kind::Number, Home::Stock, "dspare01"},
      {"PrYield", "IsPrYield", Kind::Number, Home::Stock, "pr_yield"},
      {"PhysicalQty", "IsPhysicalQty", Kind::Number, Home::None, "physical_qty"},
      {"QtyDecPlaces", "IsQtyDecPlaces", Kind::Whole, Home::Stock, "qty_decimal_places"},
      {"InspectCycle", "IsInspectCycle", Kind::Whole, Home::Stock, "inspect_cycle"},
  }};

  // Value slots: one per field, one per entry of a series.
  static constexpr std::size_t kSlots = [] {
    std::size_t slots = 0;
    for (const auto& field : kAll) slots += static_cast<std::size_t>(field.count);
    return slots;
  }();
  // The first slot of each field (and, last, kSlots): every field access looks it up.
  static constexpr std::array<std::size_t, kCount + 1> kFirstSlots = [] {
    std::array<std::size_t, kCount + 1> first{};
    for (std::size_t i = 0; i < kCount; ++i)
      first[i + 1] = first[i] + static_cast<std::size_t>(kAll[i].count);
    return first;
  }();
  static constexpr std::size_t FirstSlot(std::size_t field) { return kFirstSlots[field]; }

  // The position of a field by its property name, or kCount.
  static constexpr std::size_t Find(std::string_view property) {
    for (std::size_t i = 0; i < kCount; ++i)
      if (kAll[i].property == property) return i;
    return kCount;
  }

  // A field of a known kind, named at compile time: `stock.Text("UnitCode")` compiles only when
  // UnitCode is a text field of the business object.
  template <Kind K>
  struct Of {
    template <std::size_t N>
    consteval Of(const char (&name)[N]) : index(Checked(std::string_view(name, N - 1))) {}
    // A field found at run time; AppError when it is not of this kind.
    static Of At(std::size_t field);
    std::size_t index;

   private:
    constexpr explicit Of(std::size_t field, int) : index(field) {}
    static consteval std::size_t Checked(std::string_view name) {
      auto found = Find(name);
      if (found == kCount || kAll[found].kind != K) throw "not a stock field of this kind";
      return found;
    }
  };
  using TextField = Of<Kind::Text>;
  using NumberField = Of<Kind::Number>;
  using WholeField = Of<Kind::Whole>;

  // Any field, named at compile time (presence flags).
  struct Any {
    template <std::size_t N>
    consteval Any(const char (&name)[N]) : index(Find(std::string_view(name, N - 1))) {
      if (index == kCount) throw "not a stock field";
    }
    template <Kind K>
    constexpr Any(Of<K> field) : index(field.index) {}
    static Any At(std::size_t field);
    std::size_t index;

   private:
    constexpr explicit Any(std::size_t field, int) : index(field) {}
  };
};

}  // namespace orv
