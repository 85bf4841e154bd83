#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "ranges/clsOrvStockRanges.h"
#include "tests/RecordingRangeList.h"
#include "upload/clsOrvStock.h"

namespace orv {
namespace {

using test::RecordingRangeList;

// LoadDetail's reads in the order the upload takes them, page and text lines included, version-7
// rows last.
const std::vector<std::string> kExpectedReads = {
    "GetCellValue Description",
    "GetCellValue Product",
    "GetCellValue LongDescription",
    "GetCellValue MakeOrBuy",
    "GetCellValue Alpha",
    "GetCellValue DrawingNumber",
    "GetCellValue AnalysisA",
    "GetCellValue AnalysisB",
    "GetCellValue AnalysisC",
    "GetCellValue AnalysisD",
    "GetCellValue AnalysisE",
    "GetCellValue AnalysisF",
    "GetCellValue AnalysisXRef",
    "GetCellValue NominalKey",
    "GetCellValue PurchaseKey",
    "GetCellValue Supplier",
    "GetCellNumber PhysicalQty",
    "GetCellValue SuperSession",
    "GetCellValue AbcCategory",
    "GetCellValue VatInclusive",
    "GetCellValue PageNumber",
    "GetCellValue TEXT01",
    "GetCellValue TEXT02",
    "GetCellValue TEXT03",
    "GetCellValue TEXT04",
    "GetCellValue TEXT05",
    "GetCellValue TEXT06",
    "GetCellValue TEXT07",
    "GetCellValue TEXT08",
    "GetCellValue TEXT09",
    "GetCellValue TEXT10",
    "GetCellValue TEXT11",
    "GetCellValue TEXT12",
    "GetCellDate SupsessionDate",
    "GetCellDate LastRevalue",
    "GetCellValue UnitCode",
    "GetCellNumber Weight",
    "GetCellNumber WeightLow",
    "GetCellValue Discount",
    "GetCellValue PricingDiscount",
    "GetCellNumber ReviewDays",
    "GetCellValue bincode",
    "GetCellNumber QtyDecimalPlaces",
    "GetCellNumber ShelfLife",
    "GetCellValue BulkItem",
    "GetCellNumber StockTakeToleran",
    "GetCellValue SerialNumbers",
    "GetCellValue Traceability",
    "GetCellValue SellingUnit",
    "GetCellValue BuyingUnit",
    "GetCellNumber SellingFactor",
    "GetCellValue DespatchUnit",
    "GetCellValue StdCostFreeze",
    "GetCellNumber ExpectedCost",
    "GetCellNumber StandardMaterial",
    "GetCellNumber CurrentMaterial",
    "GetCellNumber MaterialOnCost",
    "GetCellNumber StandardLabour",
    "GetCellNumber CurrentLabour",
    "GetCellNumber LabourOnCost",
    "GetCellNumber StandardOverhead",
    "GetCellNumber OverheadOnCost",
    "GetCellNumber CurrentOverhead",
    "GetCellValue DespatchUnitUse",
    "GetCellValue UnitLength",
    "GetCellValue UnitWidth",
    "GetCellValue UnitHeight",
    "GetCellNumber StockLength",
    "GetCellNumber StockWidth",
    "GetCellNumber StockHeight",
    "GetCellValue Packaging",
    "GetCellValue ShippingCategory",
    "GetCellValue CatalogueNumber",
    "GetCellValue Alternatives01",
    "GetCellValue Alternatives02",
    "GetCellValue Alternatives03",
    "GetCellValue Alternatives04",
    "GetCellValue Alternatives05",
    "GetCellValue Alternatives06",
    "GetCellValue Alternatives07",
    "GetCellValue Alternatives08",
    "GetCellValue Alternatives09",
    "GetCellValue Alternatives10",
    "GetCellValue StockVatType",
    "GetCellValue StockType",
    "GetCellValue BuyerId",
    "GetCellNumber StandardPrice",
    "GetCellNumber StandardSubcontra",
    "GetCellNumber CurrentSubcontra",
    "GetCellNumber SubOnCost",
    "GetCellValue StatisticsInd",
    "GetCellValue ProcessInd",
    "GetCellValue Commodity",
    "GetCellValue CountryOrig",
    "GetCellNumber SuppUnitQty",
    "GetCellNumber MinStockLevel",
    "GetCellNumber SafetyStockLevel",
    "GetCellNumber MaxStockLeve",
    "GetCellNumber LeadTime",
    "GetCellNumber ReorderDays",
    "GetCellNumber SafetyDays",
    "GetCellNumber SetupCost",
    "GetCellNumber InspectCycle",
    "GetCellNumber InspectionYield",
    "GetCellValue MpsType",
    "GetCellNumber EconomicReorderQ",
    "GetCellNumber MrpReorderRoundi",
    "GetCellValue ReorderFreeze",
    "GetCellValue MrpBatching",
    "GetCellValue WorkingLevel",
    "GetCellNumber DSpare01",
    "GetCellNumber PrYield",
    "GetCellValue LastSupplier",
    "GetCellValue LevelofDetail",
    "GetCellNumber BuyingFactor",
    "GetCellValue Expense",
    "GetCellValue delivery_qty_tol",
    "GetCellValue call_off_qty_tol",
    "GetCellValue Held?",
    "GetCellValue Obsolete",
    "GetCellValue ReplenishCategory",
};

// CopyRSToCells's writes: the call the range list sees, then the column it comes from.
const std::vector<std::pair<std::string, std::string>> kExpectedWrites = {
    {"SetCellValue Warehouse", "wh"},
    {"SetCellValue Description", "description"},
    {"SetCellValue LongDescription", "long_description"},
    {"SetCellValue Product", "pd"},
    {"CopyFieldToCell Supplier", "supplier"},
    {"SetCellValue bincode", "bin_number"},
    {"SetCellValue UnitCode", "unit_code"},
    {"SetCellValue AnalysisA", "analysis_a"},
    {"SetCellValue AnalysisB", "analysis_b"},
    {"SetCellValue AnalysisC", "analysis_c"},
    {"SetCellValue Alpha", "alpha"},
    {"SetCellValue AnalysisXRef", "analysis_x_ref"},
    {"SetCellValue Packaging", "packaging"},
    {"SetCellValue MakeOrBuy", "make_or_buy"},
    {"SetCellValue VatInclusive", "vat_inclusive"},
    {"SetCellValue SellingUnit", "selling_unit"},
    {"SetCellValue DespatchUnit", "despatch_units"},
    {"SetCellValue DrawingNumber", "drawing_number"},
    {"SetCellValue ReviewDays", "review_days"},
    {"SetCellValue SupsessionDate", "supsession_date"},
    {"SetCellValue Alternatives01", "alternatives01"},
    {"SetCellValue Alternatives02", "alternatives02"},
    {"SetCellValue Alternatives03", "alternatives03"},
    {"SetCellValue Alternatives04", "alternatives04"},
    {"SetCellValue Alternatives05", "alternatives05"},
    {"SetCellValue Alternatives06", "alternatives06"},
    {"SetCellValue Alternatives07", "alternatives07"},
    {"SetCellValue Alternatives08", "alternatives08"},
    {"SetCellValue Alternatives09", "alternatives09"},
    {"SetCellValue Alternatives10", "alternatives10"},
    {"SetCellValue StdCostFreeze", "std_cost_freeze"},
    {"SetCellValue Traceability", "batch_traceability"},
    {"SetCellValue ShippingCategory", "shipping_category"},
    {"SetCellValue SerialNumbers", "serial_numbers"},
    {"SetCellValue AbcCategory", "abc_category"},
    {"SetCellValue NominalKey", "nominal_key"},
    {"SetCellValue PurchaseKey", "purchase_key"},
    {"SetCellValue LastRevalue", "last_revalue"},
    {"SetCellValue BuyerId", "buyer_id"},
    {"SetCellValue SuperSession", "supersession"},
    {"SetCellValue QtyDecimalPlaces", "qty_decimal_places"},
    {"SetCellValue DespatchUnitUse", "despatch_unit_use"},
    {"SetCellValue StockVatType", "stock_vat_type"},
    {"SetCellValue UnitLength", "unit_length"},
    {"SetCellValue UnitHeight", "unit_height"},
    {"SetCellValue UnitWidth", "unit_width"},
    {"SetCellValue StockWidth", "stock_width"},
    {"SetCellValue StockHeight", "stock_height"},
    {"SetCellValue StockLength", "stock_length"},
    {"SetCellValue CatalogueNumber", "catalogue_number"},
    {"SetCellValue Discount", "discount"},
    {"SetCellValue PricingDiscount", "pricing_discount"},
    {"SetCellValue BuyingUnit", "purchase_unit"},
    {"SetCellValue BuyingFactor", "purchase_factor"},
    {"SetCellValue StockType", "stock_type"},
    {"SetCellValue BulkItem", "bulk_item"},
    {"SetCellValue StockTakeToleran", "stock_take_toleran"},
    {"CopyFieldToCell StandardMaterial", "standard_material"},
    {"CopyFieldToCell StandardOverhead", "standard_overhead"},
    {"CopyFieldToCell StandardLabour", "standard_labour"},
    {"CopyFieldToCell CurrentMaterial", "current_material"},
    {"CopyFieldToCell CurrentOverhead", "current_overhead"},
    {"CopyFieldToCell CurrentLabour", "current_labour"},
    {"CopyFieldToCell MaterialOnCost", "material_on_cost"},
    {"CopyFieldToCell OverheadOnCost", "overhead_on_cost"},
    {"CopyFieldToCell SubOnCost", "sub_oncost_"},
    {"CopyFieldToCell StandardSubcontra", "standard_subcontra"},
    {"CopyFieldToCell CurrentSubcontra", "current_subcontrac"},
    {"CopyFieldToCell UninspectedQty", "uninspected_qty"},
    {"CopyFieldToCell StandardPrice", "price"},
    {"SetCellValue IssueDate", "issue_date"},
    {"SetCellNumber LabourOnCost", "labour_on_cost"},
    {"SetCellNumber ExpectedCost", "expected_cost"},
    {"SetCellNumber SellingFactor", "selling_factor"},
    {"SetCellNumber ShelfLife", "shelf_life"},
    {"SetCellNumber Weight", "weight"},
    {"SetCellNumber WeightLow", "weight_low"},
    {"SetCellNumber PhysicalQty", "physical_qty"},
    {"SetCellNumber AllocatedQty", "allocated_qty"},
    {"SetCellNumber ForwardOrderQty", "forward_order_qty"},
    {"SetCellNumber BackOrderQty", "back_order_qty"},
    {"SetCellNumber OnOrderQty", "on_order_qty"},
    {"SetCellValue StockDate", "stock_date"},
    {"SetCellNumber MinStockLevel", "min_stock_level"},
    {"SetCellNumber MaxStockLeve", "maximum_stock_leve"},
    {"SetCellNumber SafetyStockLevel", "safety_stock_level"},
    {"SetCellValue LeadTime", "lead_time"},
    {"SetCellValue ReorderDays", "reorder_days"},
    {"SetCellValue SafetyDays", "safety_days"},
    {"SetCellValue SetupCost", "setup_cost"},
    {"SetCellValue InspectCycle", "inspect_cycle"},
    {"SetCellValue InspectionYield", "inspection_yield"},
    {"SetCellValue MpsType", "mps_type"},
    {"SetCellValue EconomicReorderQ", "economic_reorder_q"},
    {"SetCellValue MrpReorderRoundi", "mrp_reorder_roundi"},
    {"SetCellValue ReorderFreeze", "reorder_freeze"},
    {"SetCellValue MrpBatching", "mrp_batching"},
    {"SetCellValue WorkingLevel", "working_level"},
    {"SetCellNumber DSpare01", "dspare01"},
    {"SetCellValue PrYield", "pr_yield"},
    {"SetCellValue LastSupplier", "last_supplier"},
    {"SetCellValue LevelofDetail", "level_of_detail"},
    {"SetCellNumber MonthToDate01", "month_to_date01"},
    {"SetCellNumber MonthToDate02", "month_to_date02"},
    {"SetCellNumber MonthToDate03", "month_to_date03"},
    {"SetCellNumber MonthToDate04", "month_to_date04"},
    {"SetCellNumber MonthToDate05", "month_to_date05"},
    {"SetCellNumber MonthToDate06", "month_to_date06"},
    {"SetCellNumber MonthToDate07", "month_to_date07"},
    {"SetCellNumber MonthToDate08", "month_to_date08"},
    {"SetCellNumber MonthToDate09", "month_to_date09"},
    {"SetCellNumber MonthToDate10", "month_to_date10"},
    {"SetCellNumber YearToDate01", "year_to_date01"},
    {"SetCellNumber YearToDate02", "year_to_date02"},
    {"SetCellNumber YearToDate03", "year_to_date03"},
    {"SetCellNumber YearToDate04", "year_to_date04"},
    {"SetCellNumber YearToDate05", "year_to_date05"},
    {"SetCellNumber YearToDate06", "year_to_date06"},
    {"SetCellNumber YearToDate07", "year_to_date07"},
    {"SetCellNumber YearToDate08", "year_to_date08"},
    {"SetCellNumber YearToDate09", "year_to_date09"},
    {"SetCellNumber YearToDate10", "year_to_date10"},
    {"SetCellNumber PreviousSaleVal1", "previous_sale_val1"},
    {"SetCellNumber PreviousSaleVal2", "previous_sale_val2"},
    {"SetCellNumber PreviousSaleVal3", "previous_sale_val3"},
    {"SetCellNumber AverageSaleValu", "average_sales_valu"},
    {"SetCellNumber PeriodDemand01", "period_demand01"},
    {"SetCellNumber PeriodDemand02", "period_demand02"},
    {"SetCellNumber PeriodDemand03", "period_demand03"},
    {"SetCellNumber PeriodDemand04", "period_demand04"},
    {"SetCellNumber PeriodDemand05", "period_demand05"},
    {"SetCellNumber PeriodDemand06", "period_demand06"},
    {"SetCellNumber PeriodDemand07", "period_demand07"},
    {"SetCellNumber PeriodDemand08", "period_demand08"},
    {"SetCellNumber PeriodDemand09", "period_demand09"},
    {"SetCellNumber PeriodDemand10", "period_demand10"},
    {"SetCellNumber PeriodDemand11", "period_demand11"},
    {"SetCellNumber PeriodDemand12", "period_demand12"},
    {"SetCellNumber PeriodIssueQty01", "period_issue_qty01"},
    {"SetCellNumber PeriodIssueQty02", "period_issue_qty02"},
    {"SetCellNumber PeriodIssueQty03", "period_issue_qty03"},
    {"SetCellNumber PeriodIssueQty04", "period_issue_qty04"},
    {"SetCellNumber PeriodIssueQty05", "period_issue_qty05"},
    {"SetCellNumber PeriodIssueQty06", "period_issue_qty06"},
    {"SetCellNumber PeriodIssueQty07", "period_issue_qty07"},
    {"SetCellNumber PeriodIssueQty08", "period_issue_qty08"},
    {"SetCellNumber PeriodIssueQty09", "period_issue_qty09"},
    {"SetCellNumber PeriodIssueQty10", "period_issue_qty10"},
    {"SetCellNumber PeriodIssueQty11", "period_issue_qty11"},
    {"SetCellNumber PeriodIssueQty12", "period_issue_qty12"},
    {"SetCellNumber PeriodIssueVal01", "period_issue_val01"},
    {"SetCellNumber PeriodIssueVal02", "period_issue_val02"},
    {"SetCellNumber PeriodIssueVal03", "period_issue_val03"},
    {"SetCellNumber PeriodIssueVal04", "period_issue_val04"},
    {"SetCellNumber PeriodIssueVal05", "period_issue_val05"},
    {"SetCellNumber PeriodIssueVal06", "period_issue_val06"},
    {"SetCellNumber PeriodIssueVal07", "period_issue_val07"},
    {"SetCellNumber PeriodIssueVal08", "period_issue_val08"},
    {"SetCellNumber PeriodIssueVal09", "period_issue_val09"},
    {"SetCellNumber PeriodIssueVal10", "period_issue_val10"},
    {"SetCellNumber PeriodIssueVal11", "period_issue_val11"},
    {"SetCellNumber PeriodIssueVal12", "period_issue_val12"},
};

// One record of a download; names compare case-insensitively.
class FakeRecord : public FieldSource {
 public:
  std::map<std::string, Variant> fields;
  Variant Field(std::string_view name) const override {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto found = fields.find(key);
    if (found == fields.end())
      throw AppError(3265, "", "Item cannot be found in the collection: " + key);
    return found->second;
  }
};

struct Loader {
  std::shared_ptr<RecordingRangeList> list = std::make_shared<RecordingRangeList>();
  std::shared_ptr<clsOrvStock> stock = std::make_shared<clsOrvStock>();
  clsOrvStockRanges ranges;
  Loader() {
    ranges.SetRangeList(list);
    ranges.SetOrvStock(stock);
    ranges.SetIndex(2);
  }
  std::vector<std::string> Reads() const {
    std::vector<std::string> reads;
    for (const auto& call : list->calls)
      if (call.rfind("GetCell", 0) == 0) reads.push_back(call);
    return reads;
  }
};

TEST(SheetToRecord, ReadsEveryFieldInOrderAndVersion7OnlyFrom7) {
  Loader l;
  l.ranges.SetSageVersion(7);
  l.ranges.LoadDetail();
  EXPECT_EQ(l.Reads(), kExpectedReads);
  EXPECT_EQ(l.list->calls.front(), "SetIncludeBlankCells true");

  Loader six;
  six.ranges.SetSageVersion(6);
  six.list->PutCell("Held?", 2, "Y");
  six.list->PutCell("Obsolete", 2, "Y");
  six.list->PutCell("ReplenishCategory", 2, "ABC");
  six.ranges.LoadDetail();
  std::vector<std::string> without_last_three(kExpectedReads.begin(), kExpectedReads.end() - 3);
  EXPECT_EQ(six.Reads(), without_last_three);
  EXPECT_FALSE(six.stock->Is("Held"));
  EXPECT_FALSE(six.stock->Is("Obsolete"));
  EXPECT_EQ(six.stock->Text("ReplenishCategory"), "");
}

TEST(SheetToRecord, ValuesLandInTheirProperties) {
  Loader l;
  l.ranges.SetSageVersion(7);
  l.ranges.SetIgnoreBlanks(true);
  auto put = [&](const char* range, Variant value) { l.list->PutCell(range, 2, std::move(value)); };
  put("Warehouse", "01");
  put("Product", "BOLT-10");
  put("bincode", "B12");
  put("BuyingUnit", "BOX");
  put("DespatchUnit", "EA");
  put("MaxStockLeve", 250.0);
  put("StandardPrice", 9.5);
  put("CurrentSubcontra", 1.25);
  put("StatisticsInd", "S");
  put("EconomicReorderQ", 40.0);
  put("DSpare01", 3.0);
  put("LevelofDetail", "L");
  put("BuyingFactor", 12.0);
  put("SupsessionDate", OleDate{45000});
  put("QtyDecimalPlaces", 2.0);
  put("InspectCycle", 30.0);
  put("Alternatives07", "ALT-7");
  put("Held?", "Y");
  put("delivery_qty_tol", "5%");
  put("PhysicalQty", 17.0);
  put("Weight", "");  // blank
  l.ranges.LoadWarehouseAndProduct();
  l.ranges.LoadDetail();

  const clsOrvStock& s = *l.stock;
  EXPECT_TRUE(s.Is("warehouse"));
  EXPECT_EQ(s.Text("warehouse"), "01");
  EXPECT_EQ(s.Text("product"), "BOLT-10");
  EXPECT_EQ(s.Text("BinNumber"), "B12");
  EXPECT_TRUE(s.Is("BinNumber"));
  EXPECT_EQ(s.Text("PurchaseUnit"), "BOX");
  EXPECT_EQ(s.Text("DespatchUnits"), "EA");
  EXPECT_TRUE(s.Is("DespatchUnits"));
  EXPECT_EQ(s.Number("MaximumStockLevel"), 250.0);
  EXPECT_EQ(s.Number("price"), 9.5);
  EXPECT_TRUE(s.Is("price"));
  EXPECT_EQ(s.Number("CurrentSubContra"), 1.25);
  EXPECT_EQ(s.Text("StatInd"), "S");
  EXPECT_EQ(s.Number("EconomicReOrderQ"), 40.0);
  EXPECT_EQ(s.Number("dspare01"), 3.0);
  EXPECT_EQ(s.Text("LevelOfDetail"), "L");
  EXPECT_EQ(s.Number("PurchaseFactor"), 12.0);
  EXPECT_EQ(s.Number("SupSessionDate"), 45000.0);
  EXPECT_EQ(s.Whole("QtyDecPlaces"), 2);
  EXPECT_EQ(s.Whole("InspectCycle"), 30);
  EXPECT_EQ(s.Text("Held"), "Y");
  EXPECT_EQ(s.Text("DeliveryQtyTolerance"), "5%");
  EXPECT_EQ(s.Number("PhysicalQty"), 17.0);
  EXPECT_FALSE(s.Is("weight")) << "a blank cell with blanks not included";
  EXPECT_FALSE(s.Is("UnitCode")) << "an absent range";

  clsOrvStock& stock = *l.stock;
  for (std::int16_t i = 1; i <= 10; ++i) {
    stock.ArrayIndex(i);
    EXPECT_EQ(stock.Is("Alternatives"), i == 7) << i;
    EXPECT_EQ(stock.Text("Alternatives"), i == 7 ? "ALT-7" : "") << i;
  }
}

TEST(SheetToRecord, BlankCellsFollowIgnoreBlanks) {
  Loader ignoring;
  ignoring.list->PutCell("Description", 2, "   ");
  ignoring.list->AddWorkbookRange("LastRevalue");
  ignoring.stock->SetNumber("LastRevalue", 123);
  ignoring.ranges.SetIgnoreBlanks(true);
  ignoring.ranges.LoadDetail();
  EXPECT_EQ(ignoring.list->calls.front(), "SetIncludeBlankCells false");
  EXPECT_FALSE(ignoring.stock->Is("description"));
  EXPECT_FALSE(ignoring.stock->Is("LastRevalue"));
  EXPECT_EQ(ignoring.stock->Number("LastRevalue"), 123)
      << "an absent revaluation date is not set at all";
  EXPECT_EQ(ignoring.stock->Number("SupSessionDate"), 0);

  Loader including;
  including.list->PutCell("Description", 2, "");
  including.stock->SetText("description", "old text");
  including.list->PutCell("LastRevalue", 2, OleDate{40000});
  including.ranges.SetIgnoreBlanks(false);
  including.ranges.LoadDetail();
  EXPECT_TRUE(including.stock->Is("description"));
  EXPECT_EQ(including.stock->Text("description"), "");
  EXPECT_TRUE(including.stock->Is("LastRevalue"));
  EXPECT_EQ(including.stock->Number("LastRevalue"), 40000);
}

TEST(SheetToRecord, TechnicalDescriptionMarksTheLastLinePresent) {
  Loader l;
  l.ranges.SetIgnoreBlanks(true);
  l.list->PutCell("PageNumber", 2, "2");
  for (int i = 1; i <= 12; ++i) l.list->AddWorkbookRange(fmt::format("TEXT{:02}", i));
  l.list->PutCell("TEXT03", 2, "Zinc plated");
  l.ranges.LoadDetail();
  EXPECT_EQ(l.stock->SttechmUpdate(), 4);
  EXPECT_TRUE(l.stock->Is("PageNumber"));
  EXPECT_EQ(l.stock->Text("PageNumber"), "2");
  l.stock->ArrayIndex(3);
  EXPECT_EQ(l.stock->Text("TechnicalDesc"), "Zinc plated");

  Loader nothing;
  nothing.ranges.SetIgnoreBlanks(true);
  nothing.ranges.LoadTechDescription();
  EXPECT_EQ(nothing.stock->SttechmUpdate(), 0);

  Loader page_only;
  page_only.list->PutCell("PageNumber", 2, "7");
  page_only.ranges.LoadTechDescription();
  EXPECT_EQ(page_only.stock->SttechmUpdate(), 1);
}

TEST(SheetToRecord, ReadingTheSameRowTwiceGivesTheSameProperties) {
  Loader l;
  l.list->PutCell("UnitCode", 2, "KG");
  l.list->PutCell("UnitCode", 3, "EA");
  l.ranges.LoadDetail();
  l.ranges.LoadDetail();
  EXPECT_EQ(l.stock->Text("UnitCode"), "KG");
  l.ranges.SetIndex(3);
  l.ranges.LoadDetail();
  EXPECT_EQ(l.stock->Text("UnitCode"), "EA");
}

TEST(SheetToRecord, ANumberTooBigForA16BitPropertyNamesRangeAndRow) {
  Loader l;
  l.list->PutCell("QtyDecimalPlaces", 2, 70000.0);
  try {
    l.ranges.LoadDetail();
    FAIL() << "70000 was taken into a 16-bit property";
  } catch (const AppError& error) {
    EXPECT_NE(error.Description().find("QtyDecimalPlaces"), std::string::npos);
    EXPECT_NE(error.Description().find("row 2"), std::string::npos) << error.Description();
    EXPECT_NE(error.Source().find("LoadDetail of Class Module clsOrvStockRanges"),
              std::string::npos);
  }
  EXPECT_EQ(l.stock->Whole("QtyDecPlaces"), 0);
  EXPECT_TRUE(l.stock->Is("QtyDecPlaces")) << "the flag set before the failure stays";

  Loader edges;
  edges.list->PutCell("QtyDecimalPlaces", 2, 2.5);
  edges.list->PutCell("InspectCycle", 2, -32768.0);
  edges.ranges.LoadDetail();
  EXPECT_EQ(edges.stock->Whole("QtyDecPlaces"), 2) << "halves round to even";
  EXPECT_EQ(edges.stock->Whole("InspectCycle"), -32768);

  Loader below;
  below.list->PutCell("InspectCycle", 2, -32769.0);
  EXPECT_THROW(below.ranges.LoadDetail(), AppError);
}

struct Copier {
  std::shared_ptr<RecordingRangeList> list = std::make_shared<RecordingRangeList>();
  clsOrvStockRanges ranges;
  FakeRecord record;
  Copier() {
    ranges.SetRangeList(list);
    ranges.SetDateFormatter([](OleDate date) { return "D" + std::to_string(date.serial); });
    for (const auto& [call, column] : kExpectedWrites) {
      list->AddWorkbookRange(call.substr(call.find(' ') + 1));
      record.fields[column] = Variant(1.0);
    }
    record.fields["supsession_date"] = OleDate{45000};
    record.fields["last_revalue"] = OleDate{45001};
    record.fields["issue_date"] = OleDate{45002};
    record.fields["stock_date"] = OleDate{45003};
  }
  const Variant* Cell(const char* range) const { return list->Cell(range, 5); }
};

TEST(RecordToSheet, WritesEveryColumnInOrderWithItsKind) {
  Copier c;
  c.record.fields["wh"] = "01";
  c.record.fields["pd"] = "BOLT-10   ";
  c.record.fields["alternatives04"] = "ALT-4";
  c.record.fields["average_sales_valu"] = 12.5;
  c.ranges.CopyRSToCells(c.record, 5);

  std::vector<std::string> expected;
  for (const auto& write : kExpectedWrites) expected.push_back(write.first);
  EXPECT_EQ(c.list->calls, expected);
  EXPECT_EQ(c.Cell("Warehouse")->ToText(), "01");
  EXPECT_EQ(c.Cell("Product")->ToText(), "BOLT-10   ") << "texts are written untrimmed";
  EXPECT_EQ(c.Cell("Alternatives04")->ToText(), "ALT-4");
  EXPECT_EQ(*c.Cell("AverageSaleValu"), Variant(12.5));
  EXPECT_EQ(c.Cell("SupsessionDate")->ToText(), "D45000.000000");
  EXPECT_EQ(c.Cell("StockDate")->ToText(), "D45003.000000");
}

TEST(RecordToSheet, EmptyDatesAndTheToleranceFollowTheirRules) {
  Copier c;
  c.record.fields["supsession_date"] = Variant::MakeNull();
  c.record.fields["issue_date"] = OleDate{0};
  c.record.fields["last_revalue"] = OleDate{1};
  c.record.fields["stock_date"] = Variant::MakeNull();
  c.record.fields["stock_take_toleran"] = -1.0;
  c.ranges.CopyRSToCells(c.record, 5);
  EXPECT_EQ(c.Cell("SupsessionDate")->ToText(), "");
  EXPECT_EQ(c.Cell("IssueDate")->ToText(), " ");
  EXPECT_EQ(c.Cell("LastRevalue")->ToText(), " ");
  EXPECT_EQ(c.Cell("StockDate")->ToText(), " ");
  EXPECT_EQ(c.Cell("StockTakeToleran")->ToText(), "");

  c.record.fields["last_revalue"] = "1899-12-30 00:00:00";
  c.record.fields["stock_date"] = "2023-03-15 00:00:00";
  c.record.fields["supsession_date"] = "15/03/2023";
  c.record.fields["stock_take_toleran"] = 0.0;
  c.ranges.CopyRSToCells(c.record, 5);
  EXPECT_EQ(c.Cell("LastRevalue")->ToText(), " ");
  EXPECT_EQ(c.Cell("StockDate")->ToText(), "D45000.000000") << "15/03/2023 is day 45000";
  EXPECT_EQ(c.Cell("SupsessionDate")->ToText(), "D45000.000000");
  EXPECT_EQ(c.Cell("StockTakeToleran")->ToText(), "0");

  c.record.fields["last_revalue"] = "1899-12-31";
  c.ranges.CopyRSToCells(c.record, 5);
  EXPECT_EQ(c.Cell("LastRevalue")->ToText(), " ");
  c.record.fields["issue_date"] = "2023-03-15";
  c.ranges.CopyRSToCells(c.record, 5);
  EXPECT_EQ(c.Cell("IssueDate")->ToText(), "D45000.000000");
  c.record.fields["issue_date"] = "00:00:00";
  c.ranges.CopyRSToCells(c.record, 5);
  EXPECT_EQ(c.Cell("IssueDate")->ToText(), " ");

  c.record.fields["supsession_date"] = "not a date";
  c.record.fields["wh"] = "02";
  try {
    c.ranges.CopyRSToCells(c.record, 5);
    FAIL() << "a text that is no date was written as a date";
  } catch (const AppError& error) {
    EXPECT_NE(error.Source().find("Line#:20"), std::string::npos) << error.Source();
  }
  EXPECT_EQ(c.Cell("Warehouse")->ToText(), "02") << "cells before the failure keep their values";
}

TEST(RecordToSheet, NullNumbersBecomeZeroAndNotAnError) {
  Copier c;
  c.record.fields["weight"] = Variant::MakeNull();
  c.record.fields["average_sales_valu"] = Variant::MakeNull();
  c.ranges.CopyRSToCells(c.record, 5);
  EXPECT_EQ(*c.Cell("Weight"), Variant(0.0));
  EXPECT_EQ(*c.Cell("AverageSaleValu"), Variant(0.0));
}

TEST(RecordToSheet, AMissingColumnFailsAtItsWrite) {
  Copier c;
  c.record.fields.erase("wh");
  try {
    c.ranges.CopyRSToCells(c.record, 5);
    FAIL() << "a record without the warehouse alias was copied";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), 3265);
    EXPECT_NE(error.Source().find("CopyRSToCells of Class Module clsOrvStockRanges Line#:1"),
              std::string::npos)
        << error.Source();
  }
  EXPECT_TRUE(c.list->calls.empty());

  Copier no_format;
  no_format.ranges.SetDateFormatter({});
  EXPECT_THROW(no_format.ranges.CopyRSToCells(no_format.record, 5), AppError);
}

TEST(RecordToSheet, CompanionTablesWriteThroughTheFieldMethod) {
  Copier c;
  c.record.fields = {
      {"analysis_d", "D"},        {"analysis_e", "E"},       {"analysis_f", "F"},
      {"delivery_qty_tol", "5%"}, {"call_off_qty_tol", "2"}, {"expense", "EXP1"},
      {"statind", "S"},           {"procind", "P"},          {"commodity", "84733020"},
      {"country_orig", "DE"},     {"suppunitqty", 2.0},      {"page_number", "001"}};
  for (int i = 1; i <= 12; ++i) c.record.fields[fmt::format("text{:02}", i)] = "line";
  c.ranges.CopyStockXPGRSToCells(c.record, 5);
  c.ranges.CopyStprexRSToCells(c.record, 5);
  c.ranges.CopyStockeRSToCells(c.record, 5);
  c.ranges.CopyTechnicalDescriptionRSToCells(c.record, 5);

  std::vector<std::string> expected{
      "CopyFieldToCell AnalysisD",        "CopyFieldToCell AnalysisE",
      "CopyFieldToCell AnalysisF",        "CopyFieldToCell delivery_qty_tol",
      "CopyFieldToCell call_off_qty_tol", "CopyFieldToCell Expense",
      "CopyFieldToCell StatisticsInd",    "CopyFieldToCell ProcessInd",
      "CopyFieldToCell Commodity",        "CopyFieldToCell CountryOrig",
      "CopyFieldToCell SuppUnitQty",      "CopyFieldToCell PageNumber"};
  for (int i = 1; i <= 12; ++i) expected.push_back(fmt::format("CopyFieldToCell TEXT{:02}", i));
  EXPECT_EQ(c.list->calls, expected);
}

TEST(RecordToSheet, ACopiedRowLoadsBackEqual) {
  Copier c;
  c.record.fields["wh"] = "01";
  c.record.fields["pd"] = "BOLT-10";
  c.record.fields["unit_code"] = "KG";
  c.record.fields["weight"] = 2.75;
  c.record.fields["alternatives02"] = "ALT-2";
  c.record.fields["qty_decimal_places"] = 3.0;
  for (const char* date : {"supsession_date", "last_revalue", "issue_date", "stock_date"})
    c.record.fields[date] = Variant::MakeNull();
  c.ranges.CopyRSToCells(c.record, 5);

  auto stock = std::make_shared<clsOrvStock>();
  c.ranges.SetOrvStock(stock);
  c.ranges.SetIndex(5);
  c.ranges.LoadWarehouseAndProduct();
  c.ranges.LoadDetail();
  EXPECT_EQ(stock->Text("warehouse"), "01");
  EXPECT_EQ(stock->Text("product"), "BOLT-10");
  EXPECT_EQ(stock->Text("UnitCode"), "KG");
  EXPECT_EQ(stock->Number("weight"), 2.75);
  EXPECT_EQ(stock->Whole("QtyDecPlaces"), 3);
  EXPECT_TRUE(stock->Is("SupSessionDate"));
  EXPECT_EQ(stock->Number("SupSessionDate"), 0);
  stock->ArrayIndex(2);
  EXPECT_EQ(stock->Text("Alternatives"), "ALT-2");
}

}  // namespace
}  // namespace orv
