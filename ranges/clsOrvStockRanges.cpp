#include "ranges/clsOrvStockRanges.h"

#include <array>
#include <string_view>

#include <fmt/format.h>

#include "shell/outside/AppError.h"
#include "shell/outside/Trap.h"
#include "upload/clsOrvStock.h"

namespace orv {
namespace {

constexpr std::int32_t kObjectNotSet = 91;

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

// What DefineRanges does at one place of the workbook's range order: define one range, or run one
// of the loops.
enum class Step { kRange, kAlternatives, kTechnicalDescriptions };

struct RangeRow {
  Step step = Step::kRange;
  std::string_view name;
  std::string_view description;
  std::string_view heading;  // empty: the description
  std::string_view group;    // empty: none
  std::int32_t type = RangeDefinition::kText;
  std::int32_t length = 0;
  std::string_view browse_list;  // empty: no browse
};

// The column ranges of the stock workbook between "Product" and "sage_company", in definition
// order. Warehouse, product and the company have routines of their own.
constexpr RangeRow kRanges[] = {
    {Step::kRange, "Description", "Description", "", "", RangeDefinition::kText, 20, ""},
    {Step::kRange, "LongDescription", "Full description", "", "", RangeDefinition::kText, 40, ""},
    {Step::kRange, "Alpha", "Alpha code", "", "", RangeDefinition::kText, 10, ""},
    {Step::kRange, "bincode", "Bin number", "", "", RangeDefinition::kText, 10, "bin_code"},
    {Step::kRange, "QtyDecimalPlaces", "Number of dp", "", "", RangeDefinition::kText, 1, ""},
    {Step::kRange, "SerialNumbers", "Serial numbers", "", "", RangeDefinition::kText, 1, ""},
    {Step::kRange, "ShelfLife", "Std shelf life", "", "", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "BulkItem", "Bulk issue?", "", "", RangeDefinition::kText, 1, ""},
    {Step::kRange, "Traceability", "Traceability", "", "", RangeDefinition::kText, 1, ""},
    {Step::kRange, "Expense", "Expense Code", "", "pac_grp", RangeDefinition::kText, 20,
     "exp_rev_code"},
    {Step::kRange, "StockType", "Bundle type", "", "", RangeDefinition::kText, 1, ""},
    {Step::kRange, "StockTakeToleran", "Stocktake tol.", "", "", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "UnitCode", "Stock unit", "", "ud_grp", RangeDefinition::kText, 10,
     "stock_units"},
    {Step::kRange, "Weight", "Weight/unit (max)", "", "ud_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "WeightLow", "Weight/unit (min)", "", "ud_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "AnalysisA", "Group A", "", "prod_grp", RangeDefinition::kText, 10,
     "product_group"},
    {Step::kRange, "AnalysisB", "Group B", "", "prod_grp", RangeDefinition::kText, 10,
     "product_group"},
    {Step::kRange, "AnalysisC", "Group C", "", "prod_grp", RangeDefinition::kText, 10,
     "product_group"},
    {Step::kRange, "AnalysisD", "Group D (DA0512)", "Group D", "prod_grp", RangeDefinition::kText,
     10, "product_group"},
    {Step::kRange, "AnalysisE", "Group E (DA0512)", "Group E", "prod_grp", RangeDefinition::kText,
     10, "product_group"},
    {Step::kRange, "AnalysisF", "Group F (DA0512)", "Group F", "prod_grp", RangeDefinition::kText,
     10, "product_group"},
    {Step::kRange, "delivery_qty_tol", "Delivery Qty Tolerance (DA0533)", "Del Qty Tol", "prod_grp",
     RangeDefinition::kText, 30, ""},
    {Step::kRange, "call_off_qty_tol", "Call Off Qty Tolerance (DA0534)", "Call Off Tol",
     "prod_grp", RangeDefinition::kText, 30, ""},
    {Step::kRange, "AnalysisXRef", "Stock G/L cat", "", "ld_grp", RangeDefinition::kText, 3,
     "analysis_x_ref"},
    {Step::kRange, "NominalKey", "Sales G/L cat", "", "ld_grp", RangeDefinition::kText, 3, ""},
    {Step::kRange, "PurchaseKey", "Purchase G/L cat", "", "ld_grp", RangeDefinition::kText, 3, ""},
    {Step::kRange, "MinStockLevel", "Reorder level", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "SafetyStockLevel", "Safety level", "", "ip_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "MaxStockLeve", "Maximum level", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "LeadTime", "Lead time", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "ReviewDays", "Review time", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "ReorderDays", "Reorder days", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "SafetyDays", "Safety days", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "SetupCost", "Admin. cost", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "InspectCycle", "Inspection cycle", "", "ip_grp", RangeDefinition::kWholeNumber,
     0, ""},
    {Step::kRange, "InspectionYield", "Inspection yield", "", "ip_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "MpsType", "Inventory type", "", "ip_grp", RangeDefinition::kText, 1, ""},
    {Step::kRange, "EconomicReorderQ", "Economic order qty", "", "ip_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "MrpReorderRoundi", "Reorder increment qty", "", "ip_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "ReorderFreeze", "Reorder level freeze", "", "ip_grp", RangeDefinition::kText, 1,
     ""},
    {Step::kRange, "MrpBatching", "Reorder batching mode", "", "ip_grp", RangeDefinition::kText, 1,
     ""},
    {Step::kRange, "WorkingLevel", "MRP safety level", "", "ip_grp", RangeDefinition::kText, 1, ""},
    {Step::kRange, "MakeOrBuy", "Make or buy", "", "ip_grp", RangeDefinition::kText, 1, ""},
    {Step::kRange, "DSpare01", "Fixed Period Days", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PrYield", "Expected P&R yield", "", "ip_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "Supplier", "Preferred supplier", "", "ip_grp", RangeDefinition::kText, 8,
     "supplier"},
    {Step::kRange, "LastSupplier", "Last supplier", "", "ip_grp", RangeDefinition::kText, 8,
     "supplier"},
    {Step::kRange, "BuyerId", "Buyer id", "", "ip_grp", RangeDefinition::kText, 8, ""},
    {Step::kRange, "LevelofDetail", "Level of detail", "", "ip_grp", RangeDefinition::kText, 1, ""},
    {Step::kRange, "StandardMaterial", "Standard Material", "", "cp_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "StandardOverhead", "Standard Overhead", "", "cp_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "StandardLabour", "Standard Labour", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "StandardSubcontra", "Standard Outwork", "", "cp_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "CurrentMaterial", "Current Material", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "CurrentOverhead", "Current Overhead", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "CurrentLabour", "Current Labour", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "CurrentSubcontra", "Current Outwork", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "MaterialOnCost", "Material On cost %", "", "cp_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "OverheadOnCost", "Overhead On cost %", "", "cp_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "LabourOnCost", "Labour On cost %", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "SubOnCost", "Outwork On cost %", "", "cp_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "LastRevalue", "Last revalued on", "", "cp_grp", RangeDefinition::kDate, 10,
     "Date"},
    {Step::kRange, "VatInclusive", "VAT on price?", "", "cp_grp", RangeDefinition::kText, 1, ""},
    {Step::kRange, "StandardPrice", "Standard price", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "SellingUnit", "Std selling units", "", "cp_grp", RangeDefinition::kText, 10,
     "stock_units"},
    {Step::kRange, "SellingFactor", "Std selling factor", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "DespatchUnit", "Despatch units", "", "cp_grp", RangeDefinition::kText, 10,
     "stock_units"},
    {Step::kRange, "StdCostFreeze", "Std cost freeze", "", "cp_grp", RangeDefinition::kText, 1, ""},
    {Step::kRange, "ExpectedCost", "Expected cost", "", "cp_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "BuyingUnit", "Std buying units", "", "cp_grp", RangeDefinition::kText, 10,
     "stock_units"},
    {Step::kRange, "BuyingFactor", "Std buying factor", "", "cp_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "DespatchUnitUse", "Despatch unit use", "", "cp_grp", RangeDefinition::kText, 1,
     ""},
    {Step::kRange, "StockVatType", "VAT type", "", "ld_grp", RangeDefinition::kText, 10,
     "vat_type"},
    {Step::kRange, "Discount", "SOP discount code", "", "ld_grp", RangeDefinition::kText, 8, ""},
    {Step::kRange, "PricingDiscount", "POP discount code", "", "ld_grp", RangeDefinition::kText, 8,
     ""},
    {Step::kRange, "AbcCategory", "ABC rating", "", "ld_grp", RangeDefinition::kText, 1, ""},
    {Step::kRange, "SuperSession", "Supersession", "", "as_grp", RangeDefinition::kText, 22,
     "supersession"},
    {Step::kRange, "SupsessionDate", "Date", "", "as_grp", RangeDefinition::kDate, 10, "Date"},
    {Step::kAlternatives, "", "", "", "", RangeDefinition::kText, 0, ""},
    {Step::kRange, "StockWidth", "Width", "", "d_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "UnitWidth", "Width Unit", "", "d_grp", RangeDefinition::kText, 4, ""},
    {Step::kRange, "StockLength", "Length", "", "d_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "UnitLength", "Length Unit", "", "d_grp", RangeDefinition::kText, 4, ""},
    {Step::kRange, "StockHeight", "Height", "", "d_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "UnitHeight", "Height Unit", "", "d_grp", RangeDefinition::kText, 4, ""},
    {Step::kRange, "DrawingNumber", "Drawing", "", "d_grp", RangeDefinition::kText, 20, ""},
    {Step::kRange, "CatalogueNumber", "Catalogue", "", "d_grp", RangeDefinition::kText, 20, ""},
    {Step::kRange, "Packaging", "Package", "", "d_grp", RangeDefinition::kText, 10, "package"},
    {Step::kRange, "ShippingCategory", "Ship cat.", "", "d_grp", RangeDefinition::kText, 10, ""},
    {Step::kTechnicalDescriptions, "", "", "", "", RangeDefinition::kText, 0, ""},
    {Step::kRange, "PhysicalQty", "Physical", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "AllocatedQty", "Allocated", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "ForwardOrderQty", "Forward order", "", "ssd_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "BackOrderQty", "Back order", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "OnOrderQty", "On order", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "UninspectedQty", "Uninspected", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "StockDate", "Last checked", "", "ssd_grp", RangeDefinition::kDate, 10, "Date"},
    {Step::kRange, "IssueDate", "Last issue", "", "ssd_grp", RangeDefinition::kDate, 10, "Date"},
    {Step::kRange, "MonthToDate01", "MTD Sales", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "MonthToDate02", "MTD Issues", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "MonthToDate06", "MTD Scrapped", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "MonthToDate04", "MTD Adjustments", "", "ssd_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "MonthToDate05", "MTD Transfers", "", "ssd_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "MonthToDate03", "MTD Goods in", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "MonthToDate08", "MTD Returns", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "MonthToDate07", "MTD Receipts", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "MonthToDate09", "MTD Dekits", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "MonthToDate10", "MTD Reworks", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate01", "YTD Sales", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate02", "YTD Issues", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate06", "YTD Scrapped", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate04", "YTD Adjustments", "", "ssd_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "YearToDate05", "YTD Transfers", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate03", "YTD Goods in", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate08", "YTD Returns", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate07", "YTD Receipts", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate09", "YTD Dekits", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "YearToDate10", "YTD Reworks", "", "ssd_grp", RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PreviousSaleVal1", "Last 3 months sales (1)", "", "ssd_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PreviousSaleVal2", "Last 3 months sales (2)", "", "ssd_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PreviousSaleVal3", "Last 3 months sales (3)", "", "ssd_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "AverageSaleValu", "4 months average", "", "ssd_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodDemand01", "Period 01 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand02", "Period 02 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand03", "Period 03 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand04", "Period 04 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand05", "Period 05 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand06", "Period 06 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand07", "Period 07 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand08", "Period 08 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand09", "Period 09 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand10", "Period 10 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand11", "Period 11 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodDemand12", "Period 12 Demand", "", "pud_grp", RangeDefinition::kNumber, 0,
     ""},
    {Step::kRange, "PeriodIssueQty01", "Period 01 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty02", "Period 02 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty03", "Period 03 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty04", "Period 04 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty05", "Period 05 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty06", "Period 06 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty07", "Period 07 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty08", "Period 08 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty09", "Period 09 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty10", "Period 10 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty11", "Period 11 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueQty12", "Period 12 Movement", "", "pud_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "PeriodIssueVal01", "Period 01 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal02", "Period 02 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal03", "Period 03 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal04", "Period 04 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal05", "Period 05 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal06", "Period 06 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal07", "Period 07 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal08", "Period 08 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal09", "Period 09 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal10", "Period 10 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal11", "Period 11 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "PeriodIssueVal12", "Period 12 Value", "", "pud_grp", RangeDefinition::kNumber,
     0, ""},
    {Step::kRange, "StatisticsInd", "Statistics Indicator", "", "ec_grp", RangeDefinition::kText, 1,
     ""},
    {Step::kRange, "ProcessInd", "Process indicator", "", "ec_grp", RangeDefinition::kText, 1, ""},
    {Step::kRange, "Commodity", "Commodity Code", "", "ec_grp", RangeDefinition::kText, 12, ""},
    {Step::kRange, "SuppUnitQty", "Size in Supplementary Units", "", "ec_grp",
     RangeDefinition::kNumber, 0, ""},
    {Step::kRange, "CountryOrig", "Country of Origin", "", "ec_grp", RangeDefinition::kText, 2, ""},
};

struct Version7Row {
  std::string_view name;
  std::string_view description;
  std::string_view heading;
  std::int32_t length;
  std::string_view browse_list;
};

constexpr std::array<Version7Row, 3> kVersion7Ranges{{
    {"ReplenishCategory", "Replenish Category(For V7)", "Replenish Category", 3,
     "replenish_category"},
    {"Held?", "Held(For V7)", "Held?", 1, ""},
    {"Obsolete", "Obsolete(For V7)", "Obsolete", 1, ""},
}};

constexpr int kAlternativeCount = 10;
constexpr int kTextLineCount = 12;

bool IsDownloadOnlyGroup(std::string_view group) {
  return group == "ssd_grp" || group == "pud_grp";
}

}  // namespace

RangeList& clsOrvStockRanges::List() const {
  if (!range_list_)
    throw AppError(kObjectNotSet, "", "The range catalogue has no range list to work with");
  return *range_list_;
}

clsOrvStock& clsOrvStockRanges::Stock() const {
  if (!orv_stock_)
    throw AppError(kObjectNotSet, "", "The range catalogue has no stock object to load into");
  return *orv_stock_;
}

RangeDefinition& clsOrvStockRanges::Define(std::string name, std::int32_t layout,
                                           std::int32_t data_type, std::string description,
                                           std::int32_t length, bool browse,
                                           std::string browse_kind) {
  return List().DefineRange(std::move(name), layout, data_type, 0, 0, std::move(description),
                            length, 0, "", browse, std::move(browse_kind), "");
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
    for (const RangeRow& row : kRanges) {
      if (row.step == Step::kTechnicalDescriptions) {
        DefineTechnicalDescriptionRanges();
        continue;
      }
      if (row.step == Step::kAlternatives) {
        for (int i = 1; i <= kAlternativeCount; ++i) {
          auto description = fmt::format("Alternative {}", i);
          auto& definition = Define(fmt::format("Alternatives{:02}", i), RangeDefinition::kColumn,
                                    RangeDefinition::kText, description, 22, true);
          definition.BrowseFromList = true;
          definition.BrowseList = "Alternatives";
          definition.Heading = description;
          definition.GroupKey = "as_grp";
        }
        continue;
      }
      bool has_browse = !row.browse_list.empty();
      auto& definition = Define(std::string(row.name), RangeDefinition::kColumn, row.type,
                                std::string(row.description), row.length, has_browse);
      definition.Heading = std::string(row.heading.empty() ? row.description : row.heading);
      if (!row.group.empty()) definition.GroupKey = std::string(row.group);
      if (has_browse) {
        // The supersession browse is offered but the code need not come from its list.
        if (row.name != "SuperSession") definition.BrowseFromList = true;
        definition.BrowseList = std::string(row.browse_list);
      }
      if (IsDownloadOnlyGroup(row.group)) definition.DownloadOnly = true;
      if (row.name == "PurchaseKey") definition.CodeOption = 3;
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
    auto& warehouse = Define("Warehouse", layout, RangeDefinition::kText, "Warehouse", 2, true);
    warehouse.BrowseFromList = true;
    warehouse.BrowseList = "po_warehouse";
    warehouse.Heading = "Warehouse";
    warehouse.KeyRange = true;

    line = 30;
    auto& product = Define("Product", layout, RangeDefinition::kText, "Product", 20, true);
    product.BrowseFromList = true;
    product.BrowseList = "Product";
    product.Heading = "Product";
    product.KeyRange = true;
  });
}

void clsOrvStockRanges::DefineTechnicalDescriptionRanges() {
  Trap("DefineTechnicalDescriptionRanges of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    RangeList& list = List();
    list.RangeGroups().push_back({std::string(kTechnicalDescriptionGroup.caption),
                                  std::string(kTechnicalDescriptionGroup.key), ""});

    line = 20;
    auto& page =
        Define("PageNumber", RangeDefinition::kColumn, RangeDefinition::kText, "Sheet", 3, false);
    page.Heading = "Sheet";
    page.GroupKey = "td_grp";

    line = 30;
    for (int i = 1; i <= kTextLineCount; ++i) {
      auto& text = Define(fmt::format("TEXT{:02}", i), RangeDefinition::kColumn,
                          RangeDefinition::kText, fmt::format("Tech Desc Line {}", i), 60, false);
      text.Heading = fmt::format("Line {}", i);
      text.GroupKey = "td_grp";
    }
  });
}

void clsOrvStockRanges::DefineSageCompanyRange() {
  auto& company = Define("sage_company", RangeDefinition::kHeaderCell, RangeDefinition::kText,
                         "Sage Company", 10, true, "company");
  company.CompanyRange = true;
}

void clsOrvStockRanges::DefineVersion7Ranges() {
  for (const auto& row : kVersion7Ranges) {
    bool has_browse = !row.browse_list.empty();
    auto& definition =
        Define(std::string(row.name), RangeDefinition::kColumn, RangeDefinition::kText,
               std::string(row.description), row.length, has_browse);
    definition.Heading = std::string(row.heading);
    if (has_browse) {
      definition.BrowseFromList = true;
      definition.BrowseList = std::string(row.browse_list);
    }
    definition.GroupKey = "ip_grp";
  }
}

}  // namespace orv
