// Between the sheet and the stock record: what the load routines read and the copy routines
// write, checked against the range catalogue's own definitions and, by a round trip through a real
// workbook, against the columns the upload writes each field to.

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "ranges/clsOrvStockRanges.h"
#include "records/ErpSchema.h"
#include "shell/outside/db/DataConnection.h"
#include "tests/ComponentRun.h"
#include "tests/RecordingRangeList.h"
#include "upload/clsOrvStock.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::RecordingRangeList;

// The catalogue's definitions of the stock workbook, version-7 ranges included.
std::vector<RangeDefinition> Definitions() {
  auto list = std::make_shared<RecordingRangeList>();
  clsOrvStockRanges ranges;
  ranges.SetRangeList(list);
  ranges.DefineWorkbookRanges(7);
  return list->Defined();
}

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

TEST(SheetToRecord, ReadsEveryRangeTheUploadTakesOnceAndVersion7OnlyFrom7) {
  Loader l;
  l.ranges.SetSageVersion(7);
  l.ranges.LoadDetail();
  const auto reads = l.Reads();
  EXPECT_EQ(l.list->calls.front(), "SetIncludeBlankCells true");
  // The page and its lines are read line after line.
  auto page = std::find(reads.begin(), reads.end(), "GetCellValue PageNumber");
  ASSERT_LT(page - reads.begin() + 12, static_cast<long>(reads.size()));
  for (int line = 1; line <= 12; ++line)
    EXPECT_EQ(page[line], fmt::format("GetCellValue TEXT{:02}", line));
  // Dates, numbers and 16-bit numbers are read as such.
  for (const char* read : {"GetCellDate SupsessionDate", "GetCellDate LastRevalue",
                           "GetCellNumber Weight", "GetCellNumber QtyDecimalPlaces",
                           "GetCellNumber PhysicalQty", "GetCellValue delivery_qty_tol"})
    EXPECT_EQ(std::count(reads.begin(), reads.end(), read), 1) << read;

  // Every range once: each one the upload takes, that is every range but the company cell and the
  // download-only ones (the physical quantity excepted); the warehouse is read on its own.
  std::set<std::string> read_names, upload_ranges;
  for (const auto& read : reads) read_names.insert(read.substr(read.find(' ') + 1));
  EXPECT_EQ(read_names.size(), reads.size());
  for (const auto& d : Definitions())
    if ((!d.DownloadOnly || d.name == "PhysicalQty") && !d.CompanyRange && d.name != "Warehouse")
      upload_ranges.insert(d.name);
  EXPECT_EQ(read_names, upload_ranges);

  Loader six;
  six.ranges.SetSageVersion(6);
  six.list->PutCell("Held?", 2, "Y");
  six.list->PutCell("Obsolete", 2, "Y");
  six.list->PutCell("ReplenishCategory", 2, "ABC");
  six.ranges.LoadDetail();
  EXPECT_EQ(six.Reads(), std::vector<std::string>(reads.begin(), reads.end() - 3));
  EXPECT_FALSE(six.stock->Is("Held"));
  EXPECT_FALSE(six.stock->Is("Obsolete"));
  EXPECT_EQ(six.stock->Text("ReplenishCategory"), "");
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

TEST(SheetToRecord, ANumberTooBigForA16BitPropertyNamesRangeAndRow) {
  Loader l;
  l.list->PutCell("QtyDecimalPlaces", 2, 70000.0);
  l.list->PutCell("UnitCode", 2, "KG");
  auto error = test::Caught([&] { l.ranges.LoadDetail(); });
  EXPECT_THAT(error.Description(), HasSubstr("\"QtyDecimalPlaces\" row 2"));
  EXPECT_THAT(error.Source(), HasSubstr("LoadDetail of Class Module clsOrvStockRanges"));
  EXPECT_EQ(l.stock->Whole("QtyDecPlaces"), 0);
  EXPECT_TRUE(l.stock->Is("QtyDecPlaces")) << "the flag set before the failure stays";
  EXPECT_EQ(l.stock->Text("UnitCode"), "KG") << "the ranges before it were read";

  Loader edges;
  edges.list->PutCell("QtyDecimalPlaces", 2, 2.5);
  edges.list->PutCell("InspectCycle", 2, -32768.0);
  edges.list->PutCell("UnitCode", 3, "EA");
  edges.ranges.LoadDetail();
  EXPECT_EQ(edges.stock->Whole("QtyDecPlaces"), 2) << "halves round to even";
  EXPECT_EQ(edges.stock->Whole("InspectCycle"), -32768);
  EXPECT_EQ(edges.stock->Text("UnitCode"), "") << "row 2 is read, not row 3";

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
    for (const auto& d : Definitions()) list->AddWorkbookRange(d.name);
    for (const auto& table : ErpSchema::Tables(7))
      for (const auto& column : table.columns) record.fields[std::string(column.name)] = 1.0;
    record.fields["wh"] = record.fields["pd"] = 1.0;
    record.fields["supsession_date"] = OleDate{45000};
    record.fields["last_revalue"] = OleDate{45001};
    record.fields["issue_date"] = OleDate{45002};
    record.fields["stock_date"] = OleDate{45003};
  }
  const Variant* Cell(const char* range) const { return list->Cell(range, 5); }
};

// Each range is written by one copy routine only, once.
TEST(RecordToSheet, EveryRangeIsWrittenOnceWithItsKind) {
  Copier c;
  c.record.fields["wh"] = "01";
  c.record.fields["pd"] = "BOLT-10   ";
  c.ranges.CopyRSToCells(c.record, 5);
  const auto stock_writes = c.list->calls;
  for (const char* write : {"SetCellNumber Weight", "SetCellValue ReviewDays",
                            "CopyFieldToCell StandardPrice", "SetCellValue SupsessionDate",
                            "SetCellValue StockTakeToleran", "SetCellNumber AverageSaleValu"})
    EXPECT_EQ(std::count(stock_writes.begin(), stock_writes.end(), write), 1) << write;
  EXPECT_EQ(c.Cell("Product")->ToText(), "BOLT-10   ") << "texts are written untrimmed";
  EXPECT_EQ(c.Cell("SupsessionDate")->ToText(), "D45000.000000");

  c.list->calls.clear();
  c.ranges.CopyStockXPGRSToCells(c.record, 5);
  c.ranges.CopyStprexRSToCells(c.record, 5);
  c.ranges.CopyStockeRSToCells(c.record, 5);
  c.ranges.CopyTechnicalDescriptionRSToCells(c.record, 5);
  const auto companion_writes = c.list->calls;
  for (const auto& write : companion_writes)
    EXPECT_EQ(write.rfind("CopyFieldToCell ", 0), 0u) << write;

  std::multiset<std::string> written, catalogue;
  for (const auto& calls : {stock_writes, companion_writes})
    for (const auto& call : calls) written.insert(call.substr(call.find(' ') + 1));
  for (const auto& d : Definitions())
    if (!d.CompanyRange && d.description.find("(For V7)") == std::string::npos)
      catalogue.insert(d.name);
  EXPECT_EQ(written, catalogue);
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
    EXPECT_THAT(error.Source(), HasSubstr("Line#:20"));
  }
  EXPECT_EQ(c.Cell("Warehouse")->ToText(), "02") << "cells before the failure keep their values";
}

TEST(RecordToSheet, NullNumbersBecomeZeroAndAMissingColumnFailsAtItsWrite) {
  Copier c;
  c.record.fields["weight"] = Variant::MakeNull();
  c.ranges.CopyRSToCells(c.record, 5);
  EXPECT_EQ(*c.Cell("Weight"), Variant(0.0));

  c.list->calls.clear();
  c.record.fields.erase("wh");
  auto error = test::Caught([&] { c.ranges.CopyRSToCells(c.record, 5); });
  EXPECT_EQ(error.Number(), 3265);
  EXPECT_THAT(error.Source(), HasSubstr("CopyRSToCells of Class Module clsOrvStockRanges Line#:1"));
  EXPECT_TRUE(c.list->calls.empty());

  Copier no_format;
  no_format.ranges.SetDateFormatter({});
  EXPECT_THROW(no_format.ranges.CopyRSToCells(no_format.record, 5), AppError);
}

// A record with a distinct value in every column of the stock master and its companions, copied
// into a real workbook, saved, and loaded back as the upload reads it: every field the sheet
// carries holds the value of the column the upload writes it to.
TEST(RecordToSheet, ACopiedRecordLoadsBackIntoTheColumnsTheUploadWrites) {
  test::ScratchFolder folder;
  const auto path = folder / "stock.xlsx";
  test::StockWorkbook(path, {}, 4);
  FakeRecord record;
  int n = 0;
  for (const auto& table : ErpSchema::Tables(7))
    for (const auto& column : table.columns) {
      Variant& value = record.fields[std::string(column.name)];
      ++n;
      switch (column.kind) {
        case ColumnKind::Text:
          value = Variant(fmt::format(" {} ", n));  // blanks around it are kept
          break;
        case ColumnKind::Double:
          value = Variant(n + 0.25);
          break;
        case ColumnKind::Date:
          value = Variant(OleDate{40000.0 + n});
          break;
        case ColumnKind::SmallInt:
          value = Variant(static_cast<double>(n));
          break;
      }
    }
  record.fields["wh"] = record.fields["warehouse"];
  record.fields["pd"] = record.fields["product"];
  auto define = [](clsOrvStockRanges& ranges, std::shared_ptr<Workbook> workbook) {
    ranges.SetRangeList(std::make_shared<XlsxRangeList>(std::move(workbook)));
    ranges.DefineWorkbookRanges(7);
    ranges.SetDateFormatter(&DataConnection::DateToText);
    ranges.SetSageVersion(7);
  };
  {
    auto workbook = Workbook::Open(path);
    clsOrvStockRanges ranges;
    define(ranges, workbook);
    ranges.CopyRSToCells(record, 3);
    ranges.CopyStockXPGRSToCells(record, 3);
    ranges.CopyStprexRSToCells(record, 3);
    ranges.CopyStockeRSToCells(record, 3);
    ranges.CopyTechnicalDescriptionRSToCells(record, 3);
    for (const auto& [range, column] : {std::pair{"Held?", "held_flag"},
                                        {"Obsolete", "obsolete_flag"},
                                        {"ReplenishCategory", "replenish_category"}})
      ranges.GetRangeList()->SetCellValue(range, record.fields[column].ToText(),
                                          3);  // as the component does
    workbook->Save();
  }
  clsOrvStockRanges ranges;
  define(ranges, Workbook::Open(path));
  auto stock = std::make_shared<clsOrvStock>();
  ranges.SetOrvStock(stock);
  ranges.SetIgnoreBlanks(true);
  ranges.SetIndex(3);
  ranges.LoadWarehouseAndProduct();
  ranges.LoadDetail();

  std::vector<std::string> not_carried;
  int loaded = 0;
  for (std::size_t i = 0; i < StockFields::kCount; ++i) {
    const auto& field = StockFields::kAll[i];
    for (std::int16_t entry = 1; entry <= field.count; ++entry) {
      stock->ArrayIndex(entry);
      const std::string column =
          field.count > 1 ? fmt::format("{}{:02}", field.column, entry) : std::string(field.column);
      if (!stock->Is(StockFields::Any::At(i))) {
        not_carried.push_back(column.empty() ? std::string(field.property) : column);
        continue;
      }
      ++loaded;
      ASSERT_TRUE(record.fields.count(column)) << field.property << ": no column " << column;
      const Variant& expected = record.fields[column];
      const double number = expected.IsDate()   ? expected.ToDate().serial
                            : expected.IsText() ? std::stod(expected.ToText())
                                                : expected.ToDouble();
      SCOPED_TRACE(std::string(field.property) + " from " + column);
      switch (field.kind) {
        case StockFields::Kind::Text:
          EXPECT_EQ(stock->Text(StockFields::TextField::At(i)), expected.ToText());
          break;
        case StockFields::Kind::Number:
          EXPECT_DOUBLE_EQ(stock->Number(StockFields::NumberField::At(i)), number);
          break;
        case StockFields::Kind::Whole:
          EXPECT_EQ(stock->Whole(StockFields::WholeField::At(i)), number);
          break;
      }
    }
  }
  EXPECT_EQ(loaded, 122);
  EXPECT_EQ(not_carried, (std::vector<std::string>{"DefaultWarehouse", "consumer_unit",
                                                   "standard_cost", "issue_date", "current_cost"}))
      << "the fields the upload works out or keeps from the record";
}

}  // namespace
}  // namespace orv
