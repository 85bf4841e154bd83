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

// --- Sheet to record.

enum class Read {
  kText,
  kNumber,
  kWhole,
  kDate,
  kDateWhenPresent,
  kAlternatives,
  kTechDescription
};

using FlagSetter = void (clsOrvStock::*)(bool);
using FlagGetter = bool (clsOrvStock::*)() const;
using TextSetter = void (clsOrvStock::*)(std::string);
using NumberSetter = void (clsOrvStock::*)(double);
using WholeSetter = void (clsOrvStock::*)(std::int16_t);

constexpr bool kFromVersion7 = true;

struct LoadRow {
  Read read;
  std::string_view range;
  FlagSetter flag;
  FlagGetter flag_value;  // kDateWhenPresent: the flag read back
  TextSetter text;
  NumberSetter number;
  WholeSetter whole;
  bool version7;
};

constexpr LoadRow Text(std::string_view range, FlagSetter flag, TextSetter value,
                       bool version7 = false) {
  return {Read::kText, range, flag, nullptr, value, nullptr, nullptr, version7};
}
constexpr LoadRow Number(std::string_view range, FlagSetter flag, NumberSetter value) {
  return {Read::kNumber, range, flag, nullptr, nullptr, value, nullptr, false};
}
constexpr LoadRow Whole(std::string_view range, FlagSetter flag, WholeSetter value) {
  return {Read::kWhole, range, flag, nullptr, nullptr, nullptr, value, false};
}
constexpr LoadRow Date(std::string_view range, FlagSetter flag, NumberSetter value) {
  return {Read::kDate, range, flag, nullptr, nullptr, value, nullptr, false};
}
// The date is taken only when the flag, read back from the stock object, says it is present.
constexpr LoadRow DateWhenPresent(std::string_view range, FlagSetter flag, FlagGetter flag_value,
                                  NumberSetter value) {
  return {Read::kDateWhenPresent, range, flag, flag_value, nullptr, value, nullptr, false};
}
constexpr LoadRow Alternatives() {
  return {Read::kAlternatives, "", nullptr, nullptr, nullptr, nullptr, nullptr, false};
}
constexpr LoadRow TechDescription() {
  return {Read::kTechDescription, "", nullptr, nullptr, nullptr, nullptr, nullptr, false};
}

// What LoadDetail reads, in order. "Warehouse" is LoadWarehouseAndProduct's; the download-only
// ranges other than "PhysicalQty" and "sage_company" are never read back.
constexpr LoadRow kLoadRows[] = {
    Text("Description", &clsOrvStock::IsDescription, &clsOrvStock::description),
    Text("Product", &clsOrvStock::IsProduct, &clsOrvStock::product),
    Text("LongDescription", &clsOrvStock::IsLongDescription, &clsOrvStock::LongDescription),
    Text("MakeOrBuy", &clsOrvStock::IsMakeOrBuy, &clsOrvStock::MakeOrBuy),
    Text("Alpha", &clsOrvStock::IsAlpha, &clsOrvStock::alpha),
    Text("DrawingNumber", &clsOrvStock::IsDrawingNumber, &clsOrvStock::DrawingNumber),
    Text("AnalysisA", &clsOrvStock::IsAnalysisA, &clsOrvStock::AnalysisA),
    Text("AnalysisB", &clsOrvStock::IsAnalysisB, &clsOrvStock::AnalysisB),
    Text("AnalysisC", &clsOrvStock::IsAnalysisC, &clsOrvStock::AnalysisC),
    Text("AnalysisD", &clsOrvStock::IsAnalysisD, &clsOrvStock::AnalysisD),
    Text("AnalysisE", &clsOrvStock::IsAnalysisE, &clsOrvStock::AnalysisE),
    Text("AnalysisF", &clsOrvStock::IsAnalysisF, &clsOrvStock::AnalysisF),
    Text("AnalysisXRef", &clsOrvStock::IsAnalysisXRef, &clsOrvStock::AnalysisXRef),
    Text("NominalKey", &clsOrvStock::IsNominalKey, &clsOrvStock::NominalKey),
    Text("PurchaseKey", &clsOrvStock::IsPurchaseKey, &clsOrvStock::PurchaseKey),
    Text("Supplier", &clsOrvStock::IsSupplier, &clsOrvStock::supplier),
    Number("PhysicalQty", &clsOrvStock::IsPhysicalQty, &clsOrvStock::PhysicalQty),
    Text("SuperSession", &clsOrvStock::IsSuperSession, &clsOrvStock::supersession),
    Text("AbcCategory", &clsOrvStock::IsAbcCategory, &clsOrvStock::AbcCategory),
    Text("VatInclusive", &clsOrvStock::IsVatInclusive, &clsOrvStock::VatInclusive),
    TechDescription(),
    Date("SupsessionDate", &clsOrvStock::IsSupsessionDate, &clsOrvStock::SupSessionDate),
    DateWhenPresent("LastRevalue", &clsOrvStock::IsLastRevalue, &clsOrvStock::IsLastRevalue,
                    &clsOrvStock::LastRevalue),
    Text("UnitCode", &clsOrvStock::IsUnitCode, &clsOrvStock::UnitCode),
    Number("Weight", &clsOrvStock::IsWeight, &clsOrvStock::weight),
    Number("WeightLow", &clsOrvStock::IsWeightLow, &clsOrvStock::WeightLow),
    Text("Discount", &clsOrvStock::IsDiscount, &clsOrvStock::discount),
    Text("PricingDiscount", &clsOrvStock::IsPricingDiscount, &clsOrvStock::PricingDiscount),
    Number("ReviewDays", &clsOrvStock::IsReviewDays, &clsOrvStock::ReviewDays),
    Text("bincode", &clsOrvStock::IsBinNumber, &clsOrvStock::BinNumber),
    Whole("QtyDecimalPlaces", &clsOrvStock::IsQtyDecPlaces, &clsOrvStock::QtyDecPlaces),
    Number("ShelfLife", &clsOrvStock::IsShelfLife, &clsOrvStock::ShelfLife),
    Text("BulkItem", &clsOrvStock::IsBulkItem, &clsOrvStock::BulkItem),
    Number("StockTakeToleran", &clsOrvStock::IsStockTakeToleran, &clsOrvStock::StockTakeToleran),
    Text("SerialNumbers", &clsOrvStock::IsSerialNumbers, &clsOrvStock::SerialNumbers),
    Text("Traceability", &clsOrvStock::IsTraceability, &clsOrvStock::Traceability),
    Text("SellingUnit", &clsOrvStock::IsSellingUnit, &clsOrvStock::SellingUnit),
    Text("BuyingUnit", &clsOrvStock::IsPurchaseUnit, &clsOrvStock::PurchaseUnit),
    Number("SellingFactor", &clsOrvStock::IsSellingFactor, &clsOrvStock::SellingFactor),
    Text("DespatchUnit", &clsOrvStock::IsDespatchUnit, &clsOrvStock::DespatchUnits),
    Text("StdCostFreeze", &clsOrvStock::IsStdCostFreeze, &clsOrvStock::StdCostFreeze),
    Number("ExpectedCost", &clsOrvStock::IsExpectedCost, &clsOrvStock::ExpectedCost),
    Number("StandardMaterial", &clsOrvStock::IsStandardMaterial, &clsOrvStock::StandardMaterial),
    Number("CurrentMaterial", &clsOrvStock::IsCurrentMaterial, &clsOrvStock::CurrentMaterial),
    Number("MaterialOnCost", &clsOrvStock::IsMaterialOnCost, &clsOrvStock::MaterialOnCost),
    Number("StandardLabour", &clsOrvStock::IsStandardLabour, &clsOrvStock::StandardLabour),
    Number("CurrentLabour", &clsOrvStock::IsCurrentLabour, &clsOrvStock::CurrentLabour),
    Number("LabourOnCost", &clsOrvStock::IsLabourOnCost, &clsOrvStock::LabourOnCost),
    Number("StandardOverhead", &clsOrvStock::IsStandardOverhead, &clsOrvStock::StandardOverhead),
    Number("OverheadOnCost", &clsOrvStock::IsOverheadOnCost, &clsOrvStock::OverheadOnCost),
    Number("CurrentOverhead", &clsOrvStock::IsCurrentOverhead, &clsOrvStock::CurrentOverhead),
    Text("DespatchUnitUse", &clsOrvStock::IsDespatchUnitUse, &clsOrvStock::DespatchUnitUse),
    Text("UnitLength", &clsOrvStock::IsUnitLength, &clsOrvStock::UnitLength),
    Text("UnitWidth", &clsOrvStock::IsUnitWidth, &clsOrvStock::UnitWidth),
    Text("UnitHeight", &clsOrvStock::IsUnitHeight, &clsOrvStock::UnitHeight),
    Number("StockLength", &clsOrvStock::IsStockLength, &clsOrvStock::StockLength),
    Number("StockWidth", &clsOrvStock::IsStockWidth, &clsOrvStock::StockWidth),
    Number("StockHeight", &clsOrvStock::IsStockHeight, &clsOrvStock::StockHeight),
    Text("Packaging", &clsOrvStock::IsPackaging, &clsOrvStock::packaging),
    Text("ShippingCategory", &clsOrvStock::IsShippingCategory, &clsOrvStock::ShippingCategory),
    Text("CatalogueNumber", &clsOrvStock::IsCatalogueNumber, &clsOrvStock::CatalogueNumber),
    Alternatives(),
    Text("StockVatType", &clsOrvStock::IsStockVatType, &clsOrvStock::StockVatType),
    Text("StockType", &clsOrvStock::IsStockType, &clsOrvStock::StockType),
    Text("BuyerId", &clsOrvStock::IsBuyerId, &clsOrvStock::BuyerId),
    Number("StandardPrice", &clsOrvStock::IsPrice, &clsOrvStock::price),
    Number("StandardSubcontra", &clsOrvStock::IsStandardSubcontra, &clsOrvStock::StandardSubcontra),
    Number("CurrentSubcontra", &clsOrvStock::IsCurrentSubContra, &clsOrvStock::CurrentSubContra),
    Number("SubOnCost", &clsOrvStock::IsSubOnCost, &clsOrvStock::SubOnCost),
    Text("StatisticsInd", &clsOrvStock::IsStatInd, &clsOrvStock::StatInd),
    Text("ProcessInd", &clsOrvStock::IsProcInd, &clsOrvStock::ProcInd),
    Text("Commodity", &clsOrvStock::IsCommodity, &clsOrvStock::Commodity),
    Text("CountryOrig", &clsOrvStock::IsCountryOrig, &clsOrvStock::CountryOrig),
    Number("SuppUnitQty", &clsOrvStock::IsSuppUnitQty, &clsOrvStock::SuppUnitQty),
    Number("MinStockLevel", &clsOrvStock::IsMinStockLevel, &clsOrvStock::MinStockLevel),
    Number("SafetyStockLevel", &clsOrvStock::IsSafetyStockLevel, &clsOrvStock::SafetyStockLevel),
    Number("MaxStockLeve", &clsOrvStock::IsMaximumStockLevel, &clsOrvStock::MaximumStockLevel),
    Number("LeadTime", &clsOrvStock::IsLeadTime, &clsOrvStock::LeadTime),
    Number("ReorderDays", &clsOrvStock::IsReorderDays, &clsOrvStock::ReorderDays),
    Number("SafetyDays", &clsOrvStock::IsSafetyDays, &clsOrvStock::SafetyDays),
    Number("SetupCost", &clsOrvStock::IsSetupCost, &clsOrvStock::SetupCost),
    Whole("InspectCycle", &clsOrvStock::IsInspectCycle, &clsOrvStock::InspectCycle),
    Number("InspectionYield", &clsOrvStock::IsInspectionYield, &clsOrvStock::InspectionYield),
    Text("MpsType", &clsOrvStock::IsMpsType, &clsOrvStock::MpsType),
    Number("EconomicReorderQ", &clsOrvStock::IsEconomicReorderQ, &clsOrvStock::EconomicReOrderQ),
    Number("MrpReorderRoundi", &clsOrvStock::IsMrpReorderRoundi, &clsOrvStock::MrpReorderRoundi),
    Text("ReorderFreeze", &clsOrvStock::IsReorderFreeze, &clsOrvStock::ReorderFreeze),
    Text("MrpBatching", &clsOrvStock::IsMrpBatching, &clsOrvStock::MrpBatching),
    Text("WorkingLevel", &clsOrvStock::IsWorkingLevel, &clsOrvStock::WorkingLevel),
    Number("DSpare01", &clsOrvStock::IsDspare01, &clsOrvStock::dspare01),
    Number("PrYield", &clsOrvStock::IsPrYield, &clsOrvStock::PrYield),
    Text("LastSupplier", &clsOrvStock::IsLastSupplier, &clsOrvStock::LastSupplier),
    Text("LevelofDetail", &clsOrvStock::IsLevelofDetail, &clsOrvStock::LevelOfDetail),
    Number("BuyingFactor", &clsOrvStock::IsPurchaseFactor, &clsOrvStock::PurchaseFactor),
    Text("Expense", &clsOrvStock::IsExpense, &clsOrvStock::Expense),
    Text("delivery_qty_tol", &clsOrvStock::IsDeliveryQtyTolerance,
         &clsOrvStock::DeliveryQtyTolerance),
    Text("call_off_qty_tol", &clsOrvStock::IsCallOffQtyTolerance,
         &clsOrvStock::CallOffQtyTolerance),
    Text("Held?", &clsOrvStock::IsHeld, &clsOrvStock::Held, kFromVersion7),
    Text("Obsolete", &clsOrvStock::IsObsolete, &clsOrvStock::Obsolete, kFromVersion7),
    Text("ReplenishCategory", &clsOrvStock::IsReplenishCategory, &clsOrvStock::ReplenishCategory,
         kFromVersion7),
};

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
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

// --- Record to sheet.

// T1: -1 writes an empty cell. D1 to D3: the empty-date rules of the download (see WriteDate).
enum class Write { kText, kTextT1, kField, kNumber, kDateD1, kDateD2, kDateD3 };

struct CopyRow {
  std::string_view range;
  std::string_view column;
  Write write;
  int count;        // 0: one range; else a series with the suffixes 1 to count
  bool two_digits;  // the series suffix is formatted "00"
};

// CopyRSToCells writes, in order. "AverageSaleValu" takes the same null-safe number conversion as
// the other numbers.
constexpr CopyRow kCopyRows[] = {
    {"Warehouse", "wh", Write::kText, 0, false},
    {"Description", "description", Write::kText, 0, false},
    {"LongDescription", "long_description", Write::kText, 0, false},
    {"Product", "pd", Write::kText, 0, false},
    {"Supplier", "supplier", Write::kField, 0, false},
    {"bincode", "bin_number", Write::kText, 0, false},
    {"UnitCode", "unit_code", Write::kText, 0, false},
    {"AnalysisA", "analysis_a", Write::kText, 0, false},
    {"AnalysisB", "analysis_b", Write::kText, 0, false},
    {"AnalysisC", "analysis_c", Write::kText, 0, false},
    {"Alpha", "alpha", Write::kText, 0, false},
    {"AnalysisXRef", "analysis_x_ref", Write::kText, 0, false},
    {"Packaging", "packaging", Write::kText, 0, false},
    {"MakeOrBuy", "make_or_buy", Write::kText, 0, false},
    {"VatInclusive", "vat_inclusive", Write::kText, 0, false},
    {"SellingUnit", "selling_unit", Write::kText, 0, false},
    {"DespatchUnit", "despatch_units", Write::kText, 0, false},
    {"DrawingNumber", "drawing_number", Write::kText, 0, false},
    {"ReviewDays", "review_days", Write::kText, 0, false},
    {"SupsessionDate", "supsession_date", Write::kDateD1, 0, false},
    {"Alternatives", "alternatives", Write::kText, 10, true},
    {"StdCostFreeze", "std_cost_freeze", Write::kText, 0, false},
    {"Traceability", "batch_traceability", Write::kText, 0, false},
    {"ShippingCategory", "shipping_category", Write::kText, 0, false},
    {"SerialNumbers", "serial_numbers", Write::kText, 0, false},
    {"AbcCategory", "abc_category", Write::kText, 0, false},
    {"NominalKey", "nominal_key", Write::kText, 0, false},
    {"PurchaseKey", "purchase_key", Write::kText, 0, false},
    {"LastRevalue", "last_revalue", Write::kDateD2, 0, false},
    {"BuyerId", "buyer_id", Write::kText, 0, false},
    {"SuperSession", "supersession", Write::kText, 0, false},
    {"QtyDecimalPlaces", "qty_decimal_places", Write::kText, 0, false},
    {"DespatchUnitUse", "despatch_unit_use", Write::kText, 0, false},
    {"StockVatType", "stock_vat_type", Write::kText, 0, false},
    {"UnitLength", "unit_length", Write::kText, 0, false},
    {"UnitHeight", "unit_height", Write::kText, 0, false},
    {"UnitWidth", "unit_width", Write::kText, 0, false},
    {"StockWidth", "stock_width", Write::kText, 0, false},
    {"StockHeight", "stock_height", Write::kText, 0, false},
    {"StockLength", "stock_length", Write::kText, 0, false},
    {"CatalogueNumber", "catalogue_number", Write::kText, 0, false},
    {"Discount", "discount", Write::kText, 0, false},
    {"PricingDiscount", "pricing_discount", Write::kText, 0, false},
    {"BuyingUnit", "purchase_unit", Write::kText, 0, false},
    {"BuyingFactor", "purchase_factor", Write::kText, 0, false},
    {"StockType", "stock_type", Write::kText, 0, false},
    {"BulkItem", "bulk_item", Write::kText, 0, false},
    {"StockTakeToleran", "stock_take_toleran", Write::kTextT1, 0, false},
    {"StandardMaterial", "standard_material", Write::kField, 0, false},
    {"StandardOverhead", "standard_overhead", Write::kField, 0, false},
    {"StandardLabour", "standard_labour", Write::kField, 0, false},
    {"CurrentMaterial", "current_material", Write::kField, 0, false},
    {"CurrentOverhead", "current_overhead", Write::kField, 0, false},
    {"CurrentLabour", "current_labour", Write::kField, 0, false},
    {"MaterialOnCost", "material_on_cost", Write::kField, 0, false},
    {"OverheadOnCost", "overhead_on_cost", Write::kField, 0, false},
    {"SubOnCost", "sub_oncost_", Write::kField, 0, false},
    {"StandardSubcontra", "standard_subcontra", Write::kField, 0, false},
    {"CurrentSubcontra", "current_subcontrac", Write::kField, 0, false},
    {"UninspectedQty", "uninspected_qty", Write::kField, 0, false},
    {"StandardPrice", "price", Write::kField, 0, false},
    {"IssueDate", "issue_date", Write::kDateD1, 0, false},
    {"LabourOnCost", "labour_on_cost", Write::kNumber, 0, false},
    {"ExpectedCost", "expected_cost", Write::kNumber, 0, false},
    {"SellingFactor", "selling_factor", Write::kNumber, 0, false},
    {"ShelfLife", "shelf_life", Write::kNumber, 0, false},
    {"Weight", "weight", Write::kNumber, 0, false},
    {"WeightLow", "weight_low", Write::kNumber, 0, false},
    {"PhysicalQty", "physical_qty", Write::kNumber, 0, false},
    {"AllocatedQty", "allocated_qty", Write::kNumber, 0, false},
    {"ForwardOrderQty", "forward_order_qty", Write::kNumber, 0, false},
    {"BackOrderQty", "back_order_qty", Write::kNumber, 0, false},
    {"OnOrderQty", "on_order_qty", Write::kNumber, 0, false},
    {"StockDate", "stock_date", Write::kDateD3, 0, false},
    {"MinStockLevel", "min_stock_level", Write::kNumber, 0, false},
    {"MaxStockLeve", "maximum_stock_leve", Write::kNumber, 0, false},
    {"SafetyStockLevel", "safety_stock_level", Write::kNumber, 0, false},
    {"LeadTime", "lead_time", Write::kText, 0, false},
    {"ReorderDays", "reorder_days", Write::kText, 0, false},
    {"SafetyDays", "safety_days", Write::kText, 0, false},
    {"SetupCost", "setup_cost", Write::kText, 0, false},
    {"InspectCycle", "inspect_cycle", Write::kText, 0, false},
    {"InspectionYield", "inspection_yield", Write::kText, 0, false},
    {"MpsType", "mps_type", Write::kText, 0, false},
    {"EconomicReorderQ", "economic_reorder_q", Write::kText, 0, false},
    {"MrpReorderRoundi", "mrp_reorder_roundi", Write::kText, 0, false},
    {"ReorderFreeze", "reorder_freeze", Write::kText, 0, false},
    {"MrpBatching", "mrp_batching", Write::kText, 0, false},
    {"WorkingLevel", "working_level", Write::kText, 0, false},
    {"DSpare01", "dspare01", Write::kNumber, 0, false},
    {"PrYield", "pr_yield", Write::kText, 0, false},
    {"LastSupplier", "last_supplier", Write::kText, 0, false},
    {"LevelofDetail", "level_of_detail", Write::kText, 0, false},
    {"MonthToDate", "month_to_date", Write::kNumber, 10, true},
    {"YearToDate", "year_to_date", Write::kNumber, 10, true},
    {"PreviousSaleVal", "previous_sale_val", Write::kNumber, 3, false},
    {"AverageSaleValu", "average_sales_valu", Write::kNumber, 0, false},
    {"PeriodDemand", "period_demand", Write::kNumber, 12, true},
    {"PeriodIssueQty", "period_issue_qty", Write::kNumber, 12, true},
    {"PeriodIssueVal", "period_issue_val", Write::kNumber, 12, true},
};

std::string Suffix(int i, bool two_digits) {
  return two_digits ? fmt::format("{:02}", i) : std::to_string(i);
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
  return OleDate{days + (days < 0 ? -time : time)};
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

void clsOrvStockRanges::LoadWarehouseAndProduct() {
  Trap("LoadWarehouseAndProduct of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    RangeList& list = List();
    clsOrvStock& stock = Stock();
    bool present = false;
    std::string warehouse = list.GetCellValue("Warehouse", index_, present);
    stock.IsWarehouse(present);
    stock.warehouse(std::move(warehouse));

    line = 20;
    std::string product = list.GetCellValue("Product", index_, present);
    stock.IsProduct(present);
    stock.product(std::move(product));
  });
}

void clsOrvStockRanges::LoadDetail() {
  Trap("LoadDetail of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    RangeList& list = List();
    clsOrvStock& stock = Stock();
    list.SetIncludeBlankCells(!ignore_blanks_);

    int step = 0;
    for (const LoadRow& row : kLoadRows) {
      line = 20 + step++;
      if (row.version7 && sage_version_ < 7) continue;
      bool present = false;
      switch (row.read) {
        case Read::kText: {
          std::string text = list.GetCellValue(row.range, index_, present);
          (stock.*row.flag)(present);
          (stock.*row.text)(std::move(text));
          break;
        }
        case Read::kNumber: {
          double number = list.GetCellNumber(row.range, index_, present);
          (stock.*row.flag)(present);
          (stock.*row.number)(number);
          break;
        }
        case Read::kWhole: {
          double number = list.GetCellNumber(row.range, index_, present);
          (stock.*row.flag)(present);
          (stock.*row.whole)(ToWhole(number, row.range, index_));
          break;
        }
        case Read::kDate:
        case Read::kDateWhenPresent: {
          OleDate date = list.GetCellDate(row.range, index_, present);
          (stock.*row.flag)(present);
          if (row.read == Read::kDate || (stock.*row.flag_value)())
            (stock.*row.number)(date.serial);
          break;
        }
        case Read::kAlternatives:
          for (std::int16_t i = 1; i <= clsOrvStock::kAlternativeCount; ++i) {
            stock.ArrayIndex(i);
            std::string text =
                list.GetCellValue(fmt::format("Alternatives{:02}", i), index_, present);
            stock.IsAlternatives(present);
            stock.Alternatives(std::move(text));
          }
          break;
        case Read::kTechDescription:
          LoadTechDescription();
          break;
      }
    }
  });
}

void clsOrvStockRanges::LoadTechDescription() {
  Trap("LoadTechDescription of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    RangeList& list = List();
    clsOrvStock& stock = Stock();
    bool present = false;
    std::string page = list.GetCellValue("PageNumber", index_, present);
    stock.IsPageNumber(present);
    stock.PageNumber(page);

    line = 20;
    if (!IsBlank(page)) stock.SttechmUpdate(1);

    line = 30;
    for (std::int16_t i = 1; i <= clsOrvStock::kTechnicalDescLineCount; ++i) {
      stock.ArrayIndex(i);
      std::string text = list.GetCellValue(fmt::format("TEXT{:02}", i), index_, present);
      stock.IsTechnicalDesc(present);
      stock.TechnicalDesc(std::move(text));
      if (stock.IsTechnicalDesc()) stock.SttechmUpdate(static_cast<std::int16_t>(i + 1));
    }
  });
}

void clsOrvStockRanges::CopyRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyRSToCells of Class Module clsOrvStockRanges Line#:", [&](int& line) {
    RangeList& list = List();
    line = 0;
    for (const CopyRow& copy : kCopyRows) {
      int count = copy.count == 0 ? 1 : copy.count;
      for (int i = 1; i <= count; ++i) {
        ++line;  // the write's number in the download order
        std::string range(copy.range);
        std::string column(copy.column);
        if (copy.count != 0) {
          range += Suffix(i, copy.two_digits);
          column += Suffix(i, copy.two_digits);
        }
        switch (copy.write) {
          case Write::kText:
            list.SetCellValue(range, rs.Field(column).ToText(), row);
            break;
          case Write::kTextT1: {
            Variant value = rs.Field(column);
            bool minus_one = false;
            try {
              minus_one = !value.IsNull() && !value.IsEmpty() && value.ToDouble() == -1;
            } catch (const AppError&) {
            }
            list.SetCellValue(range, minus_one ? "" : value.ToText(), row);
            break;
          }
          case Write::kField:
            list.CopyFieldToCell(rs, range, column, row);
            break;
          case Write::kNumber:
            list.SetCellNumber(range, rs.Field(column).ToDouble(), row);
            break;
          case Write::kDateD1:
          case Write::kDateD2:
          case Write::kDateD3:
            list.SetCellValue(
                range, DateCellText(rs.Field(column), column, copy.write, date_formatter_), row);
            break;
        }
      }
    }
  });
}

void clsOrvStockRanges::CopyStockXPGRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyStockXPGRSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    RangeList& list = List();
    list.CopyFieldToCell(rs, "AnalysisD", "analysis_d", row);
    list.CopyFieldToCell(rs, "AnalysisE", "analysis_e", row);
    list.CopyFieldToCell(rs, "AnalysisF", "analysis_f", row);
  });
}

void clsOrvStockRanges::CopyStprexRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyStprexRSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    List().CopyFieldToCell(rs, "Expense", "expense", row);
  });
}

void clsOrvStockRanges::CopyStockeRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyStockeRSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    RangeList& list = List();
    list.CopyFieldToCell(rs, "StatisticsInd", "statind", row);
    list.CopyFieldToCell(rs, "ProcessInd", "procind", row);
    list.CopyFieldToCell(rs, "Commodity", "commodity", row);
    list.CopyFieldToCell(rs, "CountryOrig", "country_orig", row);
    list.CopyFieldToCell(rs, "SuppUnitQty", "suppunitqty", row);
  });
}

void clsOrvStockRanges::CopyTechnicalDescriptionRSToCells(const FieldSource& rs, std::int32_t row) {
  Trap("CopyTechnicalDescriptionRSToCells of Class Module clsOrvStockRanges", [&](int& line) {
    line = 10;
    RangeList& list = List();
    list.CopyFieldToCell(rs, "PageNumber", "page_number", row);
    line = 20;
    for (int i = 1; i <= kTextLineCount; ++i)
      list.CopyFieldToCell(rs, fmt::format("TEXT{:02}", i), fmt::format("text{:02}", i), row);
  });
}

}  // namespace orv
