#include "ranges/clsOrvStockRanges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/RecordingRangeList.h"

namespace orv {
namespace {

using test::RecordingRangeList;

// The stock workbook's ranges as the design lists them, loops written out: number, name,
// description, heading, group, type, length, browse list.
constexpr const char* kExpectedCatalogue = R"table(
| 1 | "Warehouse" | "Warehouse" | (same) | (none) | text | 2 | "po_warehouse" |
| 2 | "Product" | "Product" | (same) | (none) | text | 20 | "Product" |
| 3 | "Description" | "Description" | (same) | (none) | text | 20 |  |
| 4 | "LongDescription" | "Full description" | (same) | (none) | text | 40 |  |
| 5 | "Alpha" | "Alpha code" | (same) | (none) | text | 10 |  |
| 6 | "bincode" | "Bin number" | (same) | (none) | text | 10 | "bin_code" |
| 7 | "QtyDecimalPlaces" | "Number of dp" | (same) | (none) | text | 1 |  |
| 8 | "SerialNumbers" | "Serial numbers" | (same) | (none) | text | 1 |  |
| 9 | "ShelfLife" | "Std shelf life" | (same) | (none) | number | 0 |  |
| 10 | "BulkItem" | "Bulk issue?" | (same) | (none) | text | 1 |  |
| 11 | "Traceability" | "Traceability" | (same) | (none) | text | 1 |  |
| 12 | "Expense" | "Expense Code" | (same) | "pac_grp" | text | 20 | "exp_rev_code" |
| 13 | "StockType" | "Bundle type" | (same) | (none) | text | 1 |  |
| 14 | "StockTakeToleran" | "Stocktake tol." | (same) | (none) | number | 0 |  |
| 15 | "UnitCode" | "Stock unit" | (same) | "ud_grp" | text | 10 | "stock_units" |
| 16 | "Weight" | "Weight/unit (max)" | (same) | "ud_grp" | number | 0 |  |
| 17 | "WeightLow" | "Weight/unit (min)" | (same) | "ud_grp" | number | 0 |  |
| 18 | "AnalysisA" | "Group A" | (same) | "prod_grp" | text | 10 | "product_group" |
| 19 | "AnalysisB" | "Group B" | (same) | "prod_grp" | text | 10 | "product_group" |
| 20 | "AnalysisC" | "Group C" | (same) | "prod_grp" | text | 10 | "product_group" |
| 21 | "AnalysisD" | "Group D (DA0512)" | "Group D" | "prod_grp" | text | 10 | "product_group" |
| 22 | "AnalysisE" | "Group E (DA0512)" | "Group E" | "prod_grp" | text | 10 | "product_group" |
| 23 | "AnalysisF" | "Group F (DA0512)" | "Group F" | "prod_grp" | text | 10 | "product_group" |
| 24 | "delivery_qty_tol" | "Delivery Qty Tolerance (DA0533)" | "Del Qty Tol" | "prod_grp" | text | 30 |  |
| 25 | "call_off_qty_tol" | "Call Off Qty Tolerance (DA0534)" | "Call Off Tol" | "prod_grp" | text | 30 |  |
| 26 | "AnalysisXRef" | "Stock G/L cat" | (same) | "ld_grp" | text | 3 | "analysis_x_ref" |
| 27 | "NominalKey" | "Sales G/L cat" | (same) | "ld_grp" | text | 3 |  |
| 28 | "PurchaseKey" | "Purchase G/L cat" | (same) | "ld_grp" | text | 3 |  |
| 29 | "MinStockLevel" | "Reorder level" | (same) | "ip_grp" | number | 0 |  |
| 30 | "SafetyStockLevel" | "Safety level" | (same) | "ip_grp" | number | 0 |  |
| 31 | "MaxStockLeve" | "Maximum level" | (same) | "ip_grp" | number | 0 |  |
| 32 | "LeadTime" | "Lead time" | (same) | "ip_grp" | number | 0 |  |
| 33 | "ReviewDays" | "Review time" | (same) | "ip_grp" | number | 0 |  |
| 34 | "ReorderDays" | "Reorder days" | (same) | "ip_grp" | number | 0 |  |
| 35 | "SafetyDays" | "Safety days" | (same) | "ip_grp" | number | 0 |  |
| 36 | "SetupCost" | "Admin. cost" | (same) | "ip_grp" | number | 0 |  |
| 37 | "InspectCycle" | "Inspection cycle" | (same) | "ip_grp" | whole number | 0 |  |
| 38 | "InspectionYield" | "Inspection yield" | (same) | "ip_grp" | number | 0 |  |
| 39 | "MpsType" | "Inventory type" | (same) | "ip_grp" | text | 1 |  |
| 40 | "EconomicReorderQ" | "Economic order qty" | (same) | "ip_grp" | number | 0 |  |
| 41 | "MrpReorderRoundi" | "Reorder increment qty" | (same) | "ip_grp" | number | 0 |  |
| 42 | "ReorderFreeze" | "Reorder level freeze" | (same) | "ip_grp" | text | 1 |  |
| 43 | "MrpBatching" | "Reorder batching mode" | (same) | "ip_grp" | text | 1 |  |
| 44 | "WorkingLevel" | "MRP safety level" | (same) | "ip_grp" | text | 1 |  |
| 45 | "MakeOrBuy" | "Make or buy" | (same) | "ip_grp" | text | 1 |  |
| 46 | "DSpare01" | "Fixed Period Days" | (same) | "ip_grp" | number | 0 |  |
| 47 | "PrYield" | "Expected P&R yield" | (same) | "ip_grp" | number | 0 |  |
| 48 | "Supplier" | "Preferred supplier" | (same) | "ip_grp" | text | 8 | "supplier" |
| 49 | "LastSupplier" | "Last supplier" | (same) | "ip_grp" | text | 8 | "supplier" |
| 50 | "BuyerId" | "Buyer id" | (same) | "ip_grp" | text | 8 |  |
| 51 | "LevelofDetail" | "Level of detail" | (same) | "ip_grp" | text | 1 |  |
| 52 | "StandardMaterial" | "Standard Material" | (same) | "cp_grp" | number | 0 |  |
| 53 | "StandardOverhead" | "Standard Overhead" | (same) | "cp_grp" | number | 0 |  |
| 54 | "StandardLabour" | "Standard Labour" | (same) | "cp_grp" | number | 0 |  |
| 55 | "StandardSubcontra" | "Standard Outwork" | (same) | "cp_grp" | number | 0 |  |
| 56 | "CurrentMaterial" | "Current Material" | (same) | "cp_grp" | number | 0 |  |
| 57 | "CurrentOverhead" | "Current Overhead" | (same) | "cp_grp" | number | 0 |  |
| 58 | "CurrentLabour" | "Current Labour" | (same) | "cp_grp" | number | 0 |  |
| 59 | "CurrentSubcontra" | "Current Outwork" | (same) | "cp_grp" | number | 0 |  |
| 60 | "MaterialOnCost" | "Material On cost %" | (same) | "cp_grp" | number | 0 |  |
| 61 | "OverheadOnCost" | "Overhead On cost %" | (same) | "cp_grp" | number | 0 |  |
| 62 | "LabourOnCost" | "Labour On cost %" | (same) | "cp_grp" | number | 0 |  |
| 63 | "SubOnCost" | "Outwork On cost %" | (same) | "cp_grp" | number | 0 |  |
| 64 | "LastRevalue" | "Last revalued on" | (same) | "cp_grp" | date | 10 | "Date" |
| 65 | "VatInclusive" | "VAT on price?" | (same) | "cp_grp" | text | 1 |  |
| 66 | "StandardPrice" | "Standard price" | (same) | "cp_grp" | number | 0 |  |
| 67 | "SellingUnit" | "Std selling units" | (same) | "cp_grp" | text | 10 | "stock_units" |
| 68 | "SellingFactor" | "Std selling factor" | (same) | "cp_grp" | number | 0 |  |
| 69 | "DespatchUnit" | "Despatch units" | (same) | "cp_grp" | text | 10 | "stock_units" |
| 70 | "StdCostFreeze" | "Std cost freeze" | (same) | "cp_grp" | text | 1 |  |
| 71 | "ExpectedCost" | "Expected cost" | (same) | "cp_grp" | number | 0 |  |
| 72 | "BuyingUnit" | "Std buying units" | (same) | "cp_grp" | text | 10 | "stock_units" |
| 73 | "BuyingFactor" | "Std buying factor" | (same) | "cp_grp" | number | 0 |  |
| 74 | "DespatchUnitUse" | "Despatch unit use" | (same) | "cp_grp" | text | 1 |  |
| 75 | "StockVatType" | "VAT type" | (same) | "ld_grp" | text | 10 | "vat_type" |
| 76 | "Discount" | "SOP discount code" | (same) | "ld_grp" | text | 8 |  |
| 77 | "PricingDiscount" | "POP discount code" | (same) | "ld_grp" | text | 8 |  |
| 78 | "AbcCategory" | "ABC rating" | (same) | "ld_grp" | text | 1 |  |
| 79 | "SuperSession" | "Supersession" | (same) | "as_grp" | text | 22 | "supersession" |
| 80 | "SupsessionDate" | "Date" | (same) | "as_grp" | date | 10 | "Date" |
| 81 | "Alternatives01" | "Alternative 1" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 82 | "Alternatives02" | "Alternative 2" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 83 | "Alternatives03" | "Alternative 3" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 84 | "Alternatives04" | "Alternative 4" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 85 | "Alternatives05" | "Alternative 5" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 86 | "Alternatives06" | "Alternative 6" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 87 | "Alternatives07" | "Alternative 7" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 88 | "Alternatives08" | "Alternative 8" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 89 | "Alternatives09" | "Alternative 9" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 90 | "Alternatives10" | "Alternative 10" | (same) | "as_grp" | text | 22 | "Alternatives" |
| 91 | "StockWidth" | "Width" | (same) | "d_grp" | number | 0 |  |
| 92 | "UnitWidth" | "Width Unit" | (same) | "d_grp" | text | 4 |  |
| 93 | "StockLength" | "Length" | (same) | "d_grp" | number | 0 |  |
| 94 | "UnitLength" | "Length Unit" | (same) | "d_grp" | text | 4 |  |
| 95 | "StockHeight" | "Height" | (same) | "d_grp" | number | 0 |  |
| 96 | "UnitHeight" | "Height Unit" | (same) | "d_grp" | text | 4 |  |
| 97 | "DrawingNumber" | "Drawing" | (same) | "d_grp" | text | 20 |  |
| 98 | "CatalogueNumber" | "Catalogue" | (same) | "d_grp" | text | 20 |  |
| 99 | "Packaging" | "Package" | (same) | "d_grp" | text | 10 | "package" |
| 100 | "ShippingCategory" | "Ship cat." | (same) | "d_grp" | text | 10 |  |
| 101 | "PageNumber" | "Sheet" | (same) | "td_grp" | text | 3 |  |
| 102 | "TEXT01" | "Tech Desc Line 1" | "Line 1" | "td_grp" | text | 60 |  |
| 103 | "TEXT02" | "Tech Desc Line 2" | "Line 2" | "td_grp" | text | 60 |  |
| 104 | "TEXT03" | "Tech Desc Line 3" | "Line 3" | "td_grp" | text | 60 |  |
| 105 | "TEXT04" | "Tech Desc Line 4" | "Line 4" | "td_grp" | text | 60 |  |
| 106 | "TEXT05" | "Tech Desc Line 5" | "Line 5" | "td_grp" | text | 60 |  |
| 107 | "TEXT06" | "Tech Desc Line 6" | "Line 6" | "td_grp" | text | 60 |  |
| 108 | "TEXT07" | "Tech Desc Line 7" | "Line 7" | "td_grp" | text | 60 |  |
| 109 | "TEXT08" | "Tech Desc Line 8" | "Line 8" | "td_grp" | text | 60 |  |
| 110 | "TEXT09" | "Tech Desc Line 9" | "Line 9" | "td_grp" | text | 60 |  |
| 111 | "TEXT10" | "Tech Desc Line 10" | "Line 10" | "td_grp" | text | 60 |  |
| 112 | "TEXT11" | "Tech Desc Line 11" | "Line 11" | "td_grp" | text | 60 |  |
| 113 | "TEXT12" | "Tech Desc Line 12" | "Line 12" | "td_grp" | text | 60 |  |
| 114 | "PhysicalQty" | "Physical" | (same) | "ssd_grp" | number | 0 |  |
| 115 | "AllocatedQty" | "Allocated" | (same) | "ssd_grp" | number | 0 |  |
| 116 | "ForwardOrderQty" | "Forward order" | (same) | "ssd_grp" | number | 0 |  |
| 117 | "BackOrderQty" | "Back order" | (same) | "ssd_grp" | number | 0 |  |
| 118 | "OnOrderQty" | "On order" | (same) | "ssd_grp" | number | 0 |  |
| 119 | "UninspectedQty" | "Uninspected" | (same) | "ssd_grp" | number | 0 |  |
| 120 | "StockDate" | "Last checked" | (same) | "ssd_grp" | date | 10 | "Date" |
| 121 | "IssueDate" | "Last issue" | (same) | "ssd_grp" | date | 10 | "Date" |
| 122 | "MonthToDate01" | "MTD Sales" | (same) | "ssd_grp" | number | 0 |  |
| 123 | "MonthToDate02" | "MTD Issues" | (same) | "ssd_grp" | number | 0 |  |
| 124 | "MonthToDate06" | "MTD Scrapped" | (same) | "ssd_grp" | number | 0 |  |
| 125 | "MonthToDate04" | "MTD Adjustments" | (same) | "ssd_grp" | number | 0 |  |
| 126 | "MonthToDate05" | "MTD Transfers" | (same) | "ssd_grp" | number | 0 |  |
| 127 | "MonthToDate03" | "MTD Goods in" | (same) | "ssd_grp" | number | 0 |  |
| 128 | "MonthToDate08" | "MTD Returns" | (same) | "ssd_grp" | number | 0 |  |
| 129 | "MonthToDate07" | "MTD Receipts" | (same) | "ssd_grp" | number | 0 |  |
| 130 | "MonthToDate09" | "MTD Dekits" | (same) | "ssd_grp" | number | 0 |  |
| 131 | "MonthToDate10" | "MTD Reworks" | (same) | "ssd_grp" | number | 0 |  |
| 132 | "YearToDate01" | "YTD Sales" | (same) | "ssd_grp" | number | 0 |  |
| 133 | "YearToDate02" | "YTD Issues" | (same) | "ssd_grp" | number | 0 |  |
| 134 | "YearToDate06" | "YTD Scrapped" | (same) | "ssd_grp" | number | 0 |  |
| 135 | "YearToDate04" | "YTD Adjustments" | (same) | "ssd_grp" | number | 0 |  |
| 136 | "YearToDate05" | "YTD Transfers" | (same) | "ssd_grp" | number | 0 |  |
| 137 | "YearToDate03" | "YTD Goods in" | (same) | "ssd_grp" | number | 0 |  |
| 138 | "YearToDate08" | "YTD Returns" | (same) | "ssd_grp" | number | 0 |  |
| 139 | "YearToDate07" | "YTD Receipts" | (same) | "ssd_grp" | number | 0 |  |
| 140 | "YearToDate09" | "YTD Dekits" | (same) | "ssd_grp" | number | 0 |  |
| 141 | "YearToDate10" | "YTD Reworks" | (same) | "ssd_grp" | number | 0 |  |
| 142 | "PreviousSaleVal1" | "Last 3 months sales (1)" | (same) | "ssd_grp" | number | 0 |  |
| 143 | "PreviousSaleVal2" | "Last 3 months sales (2)" | (same) | "ssd_grp" | number | 0 |  |
| 144 | "PreviousSaleVal3" | "Last 3 months sales (3)" | (same) | "ssd_grp" | number | 0 |  |
| 145 | "AverageSaleValu" | "4 months average" | (same) | "ssd_grp" | number | 0 |  |
| 146 | "PeriodDemand01" | "Period 01 Demand" | (same) | "pud_grp" | number | 0 |  |
| 147 | "PeriodDemand02" | "Period 02 Demand" | (same) | "pud_grp" | number | 0 |  |
| 148 | "PeriodDemand03" | "Period 03 Demand" | (same) | "pud_grp" | number | 0 |  |
| 149 | "PeriodDemand04" | "Period 04 Demand" | (same) | "pud_grp" | number | 0 |  |
| 150 | "PeriodDemand05" | "Period 05 Demand" | (same) | "pud_grp" | number | 0 |  |
| 151 | "PeriodDemand06" | "Period 06 Demand" | (same) | "pud_grp" | number | 0 |  |
| 152 | "PeriodDemand07" | "Period 07 Demand" | (same) | "pud_grp" | number | 0 |  |
| 153 | "PeriodDemand08" | "Period 08 Demand" | (same) | "pud_grp" | number | 0 |  |
| 154 | "PeriodDemand09" | "Period 09 Demand" | (same) | "pud_grp" | number | 0 |  |
| 155 | "PeriodDemand10" | "Period 10 Demand" | (same) | "pud_grp" | number | 0 |  |
| 156 | "PeriodDemand11" | "Period 11 Demand" | (same) | "pud_grp" | number | 0 |  |
| 157 | "PeriodDemand12" | "Period 12 Demand" | (same) | "pud_grp" | number | 0 |  |
| 158 | "PeriodIssueQty01" | "Period 01 Movement" | (same) | "pud_grp" | number | 0 |  |
| 159 | "PeriodIssueQty02" | "Period 02 Movement" | (same) | "pud_grp" | number | 0 |  |
| 160 | "PeriodIssueQty03" | "Period 03 Movement" | (same) | "pud_grp" | number | 0 |  |
| 161 | "PeriodIssueQty04" | "Period 04 Movement" | (same) | "pud_grp" | number | 0 |  |
| 162 | "PeriodIssueQty05" | "Period 05 Movement" | (same) | "pud_grp" | number | 0 |  |
| 163 | "PeriodIssueQty06" | "Period 06 Movement" | (same) | "pud_grp" | number | 0 |  |
| 164 | "PeriodIssueQty07" | "Period 07 Movement" | (same) | "pud_grp" | number | 0 |  |
| 165 | "PeriodIssueQty08" | "Period 08 Movement" | (same) | "pud_grp" | number | 0 |  |
| 166 | "PeriodIssueQty09" | "Period 09 Movement" | (same) | "pud_grp" | number | 0 |  |
| 167 | "PeriodIssueQty10" | "Period 10 Movement" | (same) | "pud_grp" | number | 0 |  |
| 168 | "PeriodIssueQty11" | "Period 11 Movement" | (same) | "pud_grp" | number | 0 |  |
| 169 | "PeriodIssueQty12" | "Period 12 Movement" | (same) | "pud_grp" | number | 0 |  |
| 170 | "PeriodIssueVal01" | "Period 01 Value" | (same) | "pud_grp" | number | 0 |  |
| 171 | "PeriodIssueVal02" | "Period 02 Value" | (same) | "pud_grp" | number | 0 |  |
| 172 | "PeriodIssueVal03" | "Period 03 Value" | (same) | "pud_grp" | number | 0 |  |
| 173 | "PeriodIssueVal04" | "Period 04 Value" | (same) | "pud_grp" | number | 0 |  |
| 174 | "PeriodIssueVal05" | "Period 05 Value" | (same) | "pud_grp" | number | 0 |  |
| 175 | "PeriodIssueVal06" | "Period 06 Value" | (same) | "pud_grp" | number | 0 |  |
| 176 | "PeriodIssueVal07" | "Period 07 Value" | (same) | "pud_grp" | number | 0 |  |
| 177 | "PeriodIssueVal08" | "Period 08 Value" | (same) | "pud_grp" | number | 0 |  |
| 178 | "PeriodIssueVal09" | "Period 09 Value" | (same) | "pud_grp" | number | 0 |  |
| 179 | "PeriodIssueVal10" | "Period 10 Value" | (same) | "pud_grp" | number | 0 |  |
| 180 | "PeriodIssueVal11" | "Period 11 Value" | (same) | "pud_grp" | number | 0 |  |
| 181 | "PeriodIssueVal12" | "Period 12 Value" | (same) | "pud_grp" | number | 0 |  |
| 182 | "StatisticsInd" | "Statistics Indicator" | (same) | "ec_grp" | text | 1 |  |
| 183 | "ProcessInd" | "Process indicator" | (same) | "ec_grp" | text | 1 |  |
| 184 | "Commodity" | "Commodity Code" | (same) | "ec_grp" | text | 12 |  |
| 185 | "SuppUnitQty" | "Size in Supplementary Units" | (same) | "ec_grp" | number | 0 |  |
| 186 | "CountryOrig" | "Country of Origin" | (same) | "ec_grp" | text | 2 |  |
| 187 | "sage_company" | "Sage Company" | (none) | (none) | text | 10 |  |
)table";

struct ExpectedRow {
  int number = 0;
  std::string name, description, heading, group, type, browse_list;
  int length = 0;
};

std::string Unquote(std::string text) {
  auto first = text.find_first_not_of(' ');
  auto last = text.find_last_not_of(' ');
  text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  if (text.size() >= 2 && text.front() == '"') text = text.substr(1, text.size() - 2);
  return text;
}

std::vector<ExpectedRow> ExpectedRows() {
  std::vector<ExpectedRow> rows;
  std::istringstream in(kExpectedCatalogue);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::vector<std::string> cells;
    std::istringstream cells_in(line.substr(1));
    std::string cell;
    while (std::getline(cells_in, cell, '|')) cells.push_back(Unquote(cell));
    ExpectedRow row;
    row.number = std::stoi(cells.at(0));
    row.name = cells.at(1);
    row.description = cells.at(2);
    row.heading = cells.at(3) == "(same)"   ? row.description
                  : cells.at(3) == "(none)" ? ""
                                            : cells.at(3);
    row.group = cells.at(4) == "(none)" ? "" : cells.at(4);
    row.type = cells.at(5);
    row.length = std::stoi(cells.at(6));
    row.browse_list = cells.size() > 7 ? cells.at(7) : "";
    rows.push_back(row);
  }
  return rows;
}

std::int32_t TypeCode(const std::string& type) {
  if (type == "text") return 0;
  if (type == "number") return 1;
  if (type == "date") return 2;
  if (type == "whole number") return 3;
  ADD_FAILURE() << "unknown type " << type;
  return -1;
}

// Checks one definition against its row, every argument and property.
void ExpectMatches(const RangeDefinition& got, const ExpectedRow& row, std::int32_t layout) {
  SCOPED_TRACE("row " + std::to_string(row.number) + " " + row.name);
  bool company = row.name == "sage_company";
  EXPECT_EQ(got.name, row.name);
  EXPECT_EQ(got.layout, layout);
  EXPECT_EQ(got.data_type, TypeCode(row.type));
  EXPECT_EQ(got.reserved4, 0);
  EXPECT_EQ(got.reserved5, 0);
  EXPECT_EQ(got.description, row.description);
  EXPECT_EQ(got.length, row.length);
  EXPECT_EQ(got.reserved8, 0);
  EXPECT_EQ(got.reserved9, "");
  EXPECT_EQ(got.browse, !row.browse_list.empty() || company);
  EXPECT_EQ(got.browse_kind, company ? "company" : "");
  EXPECT_EQ(got.reserved12, "");
  EXPECT_EQ(got.Heading, row.heading);
  EXPECT_EQ(got.GroupKey, row.group);
  EXPECT_EQ(got.DownloadOnly, row.group == "ssd_grp" || row.group == "pud_grp");
  EXPECT_EQ(got.BrowseList, row.browse_list);
  EXPECT_EQ(got.BrowseFromList, !row.browse_list.empty() && row.name != "SuperSession");
  EXPECT_EQ(got.KeyRange, row.name == "Warehouse" || row.name == "Product");
  EXPECT_EQ(got.CodeOption, row.name == "PurchaseKey" ? 3 : 0);
  EXPECT_EQ(got.CompanyRange, company);
}

struct Catalogue {
  std::shared_ptr<RecordingRangeList> list = std::make_shared<RecordingRangeList>();
  clsOrvStockRanges ranges;
  Catalogue() { ranges.SetRangeList(list); }
};

const RangeDefinition& Named(const std::vector<RangeDefinition>& defined, std::string_view name) {
  auto found = std::find_if(defined.begin(), defined.end(),
                            [&](const RangeDefinition& d) { return d.name == name; });
  if (found == defined.end()) throw std::runtime_error("no range " + std::string(name));
  return *found;
}

TEST(RangeCatalogue, EmptyListGetsEveryRangeInTableOrder) {
  Catalogue c;
  c.ranges.DefineRanges();

  auto rows = ExpectedRows();
  ASSERT_EQ(rows.size(), 187u);
  auto defined = c.list->Defined();
  ASSERT_EQ(defined.size(), 187u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].number, static_cast<int>(i) + 1);
    ExpectMatches(defined[i], rows[i], rows[i].name == "sage_company" ? 0 : 1);
  }

  auto download_only = std::count_if(defined.begin(), defined.end(),
                                     [](const RangeDefinition& d) { return d.DownloadOnly; });
  EXPECT_EQ(download_only, 68);
  const auto& supersession = Named(defined, "SuperSession");
  EXPECT_FALSE(supersession.BrowseFromList);
  EXPECT_EQ(supersession.BrowseList, "supersession");
  const auto& company = Named(defined, "sage_company");
  EXPECT_TRUE(company.browse);
  EXPECT_EQ(company.Heading, "");
  EXPECT_EQ(company.BrowseList, "");
  EXPECT_EQ(company.GroupKey, "");
  EXPECT_THROW(Named(defined, "Held?"), std::runtime_error) << "version-7 ranges come separately";
}

TEST(RangeCatalogue, GroupsThenOneClearThenTheRanges) {
  Catalogue c;
  c.list->RangeGroups().push_back({"Stale", "stale_grp", ""});
  c.list->calls.clear();
  c.ranges.DefineRanges();
  const auto calls = c.list->calls;

  std::vector<RangeGroup> expected{{"Unit Details", "ud_grp", ""},
                                   {"Product Groups", "prod_grp", ""},
                                   {"Ledger Details", "ld_grp", ""},
                                   {"EC Details", "ec_grp", ""},
                                   {"Supersessions & Alternatives", "as_grp", ""},
                                   {"Dimensions", "d_grp", ""},
                                   {"Costing & Pricing", "cp_grp", ""},
                                   {"Inventory Policy", "ip_grp", ""},
                                   {"Stock Status (to download only)", "ssd_grp", ""},
                                   {"Period Usages (to download only)", "pud_grp", ""},
                                   {"Project Accounting", "pac_grp", ""},
                                   {"Technical Descriptions", "td_grp", ""}};
  EXPECT_EQ(c.list->RangeGroups(), expected);

  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0], "RangeCount");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "ClearDefinitions"), 1);
  auto clear = std::find(calls.begin(), calls.end(), "ClearDefinitions");
  auto first_define = std::find_if(calls.begin(), calls.end(), [](const std::string& call) {
    return call.rfind("DefineRange", 0) == 0;
  });
  EXPECT_LT(clear, first_define);
  EXPECT_EQ(*first_define, "DefineRange Warehouse");
  EXPECT_EQ(calls.back(), "DefineRange sage_company");
}

TEST(RangeCatalogue, ExistingDefinitionsAreLeftAloneUnlessRebuildIsForced) {
  Catalogue c;
  c.list->DefineRange("Mine", 1, 0, 0, 0, "Mine", 5, 0, "", false, "", "");
  c.list->RangeGroups().push_back({"Kept", "kept_grp", ""});
  c.list->calls.clear();

  c.ranges.DefineRanges();
  EXPECT_EQ(c.list->calls, std::vector<std::string>{"RangeCount"});
  EXPECT_EQ(c.list->Defined().size(), 1u);

  c.ranges.SetForceRebuild(true);
  c.ranges.DefineRanges();
  EXPECT_EQ(c.list->Defined().size(), 187u);
  EXPECT_EQ(c.list->Defined().front().name, "Warehouse");
  EXPECT_EQ(c.list->RangeGroups().size(), 12u);

  c.ranges.DefineRanges();  // a second forced pass replaces rather than adds
  EXPECT_EQ(c.list->Defined().size(), 187u);
  EXPECT_EQ(c.list->RangeGroups().size(), 12u);
}

TEST(RangeCatalogue, HeaderLayoutOnlyForWarehouseAndProduct) {
  Catalogue c;
  EXPECT_FALSE(c.ranges.ForceRebuild());
  c.ranges.SetWarehouseAndProductAsHeader(true);
  c.ranges.DefineRanges();
  for (const auto& d : c.list->Defined()) {
    bool header = d.name == "Warehouse" || d.name == "Product" || d.name == "sage_company";
    EXPECT_EQ(d.layout, header ? 0 : 1) << d.name;
  }
}

TEST(RangeCatalogue, Version7RangesFollowTheCompany) {
  Catalogue c;
  c.ranges.DefineRanges();
  c.ranges.DefineVersion7Ranges();
  auto defined = c.list->Defined();
  ASSERT_EQ(defined.size(), 190u);
  EXPECT_EQ(defined[186].name, "sage_company");

  struct V7 {
    const char *name, *description, *heading;
    int length;
    const char* browse_list;
  };
  V7 expected[] = {{"ReplenishCategory", "Replenish Category(For V7)", "Replenish Category", 3,
                    "replenish_category"},
                   {"Held?", "Held(For V7)", "Held?", 1, ""},
                   {"Obsolete", "Obsolete(For V7)", "Obsolete", 1, ""}};
  for (int i = 0; i < 3; ++i) {
    ExpectedRow row;
    row.number = 188 + i;
    row.name = expected[i].name;
    row.description = expected[i].description;
    row.heading = expected[i].heading;
    row.group = "ip_grp";
    row.type = "text";
    row.length = expected[i].length;
    row.browse_list = expected[i].browse_list;
    ExpectMatches(defined[187 + i], row, 1);
  }
}

TEST(RangeCatalogue, TechnicalDescriptionComponentSet) {
  Catalogue c;
  c.ranges.SetWarehouseAndProductAsHeader(true);
  c.ranges.DefineWarehouseAndProductRanges();
  c.ranges.DefineTechnicalDescriptionRanges();
  c.ranges.DefineSageCompanyRange();

  auto defined = c.list->Defined();
  ASSERT_EQ(defined.size(), 16u);
  std::map<std::string, ExpectedRow> rows;
  for (const auto& row : ExpectedRows()) rows[row.name] = row;
  for (const auto& d : defined) {
    bool header = d.name == "Warehouse" || d.name == "Product" || d.name == "sage_company";
    ExpectMatches(d, rows.at(d.name), header ? 0 : 1);
  }
  EXPECT_EQ(defined[2].name, "PageNumber");
  EXPECT_EQ(defined[14].name, "TEXT12");
  EXPECT_EQ(defined[14].Heading, "Line 12");
  EXPECT_EQ(c.list->RangeGroups(),
            (std::vector<RangeGroup>{{"Technical Descriptions", "td_grp", ""}}));
}

TEST(RangeCatalogue, FailureStopsAtTheRangeAndChainsTheRoutines) {
  Catalogue c;
  c.list->fail_on_define = "TEXT05";
  try {
    c.ranges.DefineRanges();
    FAIL() << "DefineRanges did not fail";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), vbObjectError + 1);
    EXPECT_EQ(error.Description(), "host refused TEXT05");
    auto inner =
        error.Source().find("DefineTechnicalDescriptionRanges of Class Module clsOrvStockRanges");
    auto outer = error.Source().find("\r\nDefineRanges of Class Module clsOrvStockRanges");
    EXPECT_NE(inner, std::string::npos) << error.Source();
    EXPECT_NE(outer, std::string::npos) << error.Source();
    EXPECT_LT(inner, outer);
  }
  auto defined = c.list->Defined();
  ASSERT_FALSE(defined.empty());
  EXPECT_EQ(defined.back().name, "TEXT04");
}

TEST(RangeCatalogue, NoRangeListIsAClearError) {
  clsOrvStockRanges ranges;
  try {
    ranges.DefineRanges();
    FAIL() << "DefineRanges without a range list did not fail";
  } catch (const AppError& error) {
    EXPECT_NE(error.Description().find("range list"), std::string::npos);
    EXPECT_NE(error.Source().find("DefineRanges of Class Module clsOrvStockRanges"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace orv
