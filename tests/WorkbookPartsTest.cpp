#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "WorkbookFixtures.h"
#include "shell/outside/base/Event.h"
#include "shell/outside/xlsx/AreaReference.h"
#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/RangeNames.h"
#include "shell/outside/xlsx/SheetCells.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/WorkbookTemplate.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "shell/outside/xlsx/XmlText.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::RunPython;
using test::ScratchFolder;

AreaReference Area(std::string_view formula) {
  return AreaReference::Parse(formula, "book.xlsx", "Name");
}

TEST(AreaReference, ReadsTheShapesOfDefinedNames) {
  auto area = Area("'It''s here'!$B$2:$B$501");
  EXPECT_EQ(area.sheet, "It's here");
  EXPECT_EQ(area.first_row, 2u);
  EXPECT_EQ(area.last_row, 501u);
  EXPECT_EQ(area.Columns(), 1u);
  EXPECT_EQ(area.ToFormula(), "'It''s here'!$B$2:$B$501");
  area = Area("=Stock!C5:A1");  // corners in any order
  EXPECT_EQ(area.ToFormula(), "Stock!$A$1:$C$5");
  area = Area("Stock!$D:$D");
  EXPECT_EQ(area.first_row, 1u);
  EXPECT_EQ(area.last_row, CellAddress::kMaxRow);
  area = Area("Stock!$3:$4");
  EXPECT_EQ(area.last_column, CellAddress::kMaxColumn);
  EXPECT_EQ(Area("Stock!$H$1").ToFormula(), "Stock!$H$1");
  EXPECT_EQ(Area("'Stock (2)'!$A$1:$A$3").sheet, "Stock (2)");
  EXPECT_EQ(AreaReference::QuoteSheet("A1"), "'A1'");  // a sheet named like a cell needs quotes
  EXPECT_EQ(AreaReference::QuoteSheet("2024"), "'2024'");
  EXPECT_EQ(AreaReference::QuoteSheet("Stock_1"), "Stock_1");

  for (const auto& [formula, problem] : std::vector<std::pair<std::string, std::string>>{
           {"'C:\\data\\[other.xlsx]Stock'!$A$1", "another workbook"},
           {"Stock!$A$1:#REF!", "#REF!"},
           {"(Stock!$A$1,Stock!$B$1)", "not one rectangular area"},
           {"Stock!$A$1 Stock!$A$1:$B$2", "not one rectangular area"},
           {"Jan:Mar!$A$1", "several sheets"},
           {"0.5", "not a reference"},
           {"OFFSET(Stock!$A$1,0,0,10,1)", "not a reference"},
           {"Stock!$A$1:$B", "not one rectangular area"},
           {"Stock!$A$0", "not a reference"}}) {
    try {
      Area(formula);
      ADD_FAILURE() << formula;
    } catch (const WorkbookError& error) {
      EXPECT_THAT(error.Description(), HasSubstr(problem)) << formula << ": ";
      EXPECT_EQ(error.Description().rfind("book.xlsx: defined name 'Name'", 0), 0u)
          << error.Description();
    }
  }
}

TEST(CellAddress, ParsesAndFormatsTheWholeSheet) {
  EXPECT_EQ(CellAddress::Parse("$XFD$1048576"), (CellAddress{1048576, 16384}));
  EXPECT_EQ(CellAddress::Parse("aa10"), (CellAddress{10, 27}));
  EXPECT_FALSE(CellAddress::Parse("XFE1"));
  EXPECT_FALSE(CellAddress::Parse("A1048577"));
  EXPECT_FALSE(CellAddress::Parse("A0"));
  EXPECT_FALSE(CellAddress::Parse("A01"));
  EXPECT_FALSE(CellAddress::Parse("1A"));
  EXPECT_EQ(CellAddress::ColumnLetters(702), "ZZ");
  EXPECT_EQ(CellAddress::ColumnLetters(703), "AAA");
  EXPECT_EQ((CellAddress{7, 28}).ToString(), "AB7");
}

TEST(RangeNames, StoresNamesAsTheCatalogueSpellsThemAndLooksForThePortableSpellingSecond) {
  EXPECT_EQ(RangeNames::StoredNames("Held?"), (std::vector<std::string>{"Held?", "Held_"}));
  EXPECT_EQ(RangeNames::StoredNames("MaxStockLeve"), (std::vector<std::string>{"MaxStockLeve"}));
  EXPECT_TRUE(RangeNames::Same("bincode", "BinCode"));
  EXPECT_FALSE(RangeNames::Same("bincode", "bincodes"));
}

TEST(XmlText, CellTextSurvivesEscapingAndDecoding) {
  std::string text = std::string(
                         "a\x01"
                         "b_x0041_<&>\"\ttab") +
                     "\r\n";
  std::string escaped;
  XmlText::AppendCellText(escaped, text);
  EXPECT_EQ(escaped, "a_x0001_b_x005F_x0041_&lt;&amp;&gt;\"\ttab&#13;\n");
  // What the XML reader hands back (entities resolved) decodes to the original text.
  std::string parsed = "a_x0001_b_x005F_x0041_<&>\"\ttab\r\n";
  EXPECT_EQ(XmlText::DecodeCellText(parsed), text);
  EXPECT_EQ(XmlText::DecodeCellText("caf_x00E9_"), "caf\xC3\xA9");
  EXPECT_TRUE(XmlText::NeedsPreserve(" x"));
  EXPECT_FALSE(XmlText::NeedsPreserve("x y"));
}

TEST(XmlText, WhatXmlCannotHoldBecomesOneReplacementPerFault) {
  const std::string r = "\xEF\xBF\xBD";
  for (const auto& [text, repaired] : std::vector<std::pair<std::string, std::string>>{
           {"caf\xC3\xA9 \xF0\x9F\x94\xA9 \xEF\xBF\xBD", "caf\xC3\xA9 \xF0\x9F\x94\xA9 " + r},
           {"A\xFF\xFE"
            "B",
            "A" + r + r + "B"},
           {"\xC3", r},                                  // cut short
           {"\xE2\x82", r},                              // cut short after a good second byte
           {"\xED\xA0\x80", r + r + r},                  // an encoded surrogate
           {"\xEF\xBF\xBE\xEF\xBF\xBF", r + r},          // U+FFFE and U+FFFF
           {"\xC0\xAF\xE0\x80\x80", r + r + r + r + r},  // overlong forms
           {"\xF4\x90\x80\x80", r + r + r + r},          // beyond U+10FFFF
       }) {
    EXPECT_EQ(XmlText::IsCellText(text), text == repaired) << text;
    EXPECT_EQ(XmlText::Repaired(text), repaired) << text;
    std::string cell, escaped;
    XmlText::AppendCellText(cell, text);
    XmlText::AppendEscaped(escaped, text);
    EXPECT_EQ(cell, repaired) << text;
    EXPECT_EQ(escaped, repaired) << text;
  }
  std::string control;
  XmlText::AppendEscaped(control, "a\x01\tb");
  EXPECT_EQ(control, "a" + r + "\tb");
}

TEST(SheetCells, KeepsEveryKindAndWalksChangesRowByRow) {
  StringPool shared;
  shared.Add("shared text");
  SheetCells cells(shared);
  cells.LoadShared(1, 1, 0);
  cells.LoadText(1, 2, "12345678");   // fits in the cell
  cells.LoadText(1, 3, "123456789");  // goes to the pool
  cells.LoadNumber(1, 4, -0.5, true);
  cells.LoadBoolean(1, 5, true);
  cells.LoadError(1, 6, "#DIV/0!");
  EXPECT_EQ(cells.Get(1, 1).text, "shared text");
  EXPECT_EQ(cells.Get(1, 2).text, "12345678");
  EXPECT_EQ(cells.Get(1, 3).text, "123456789");
  EXPECT_EQ(cells.Get(1, 4), CellValue::Number(-0.5, true));
  EXPECT_EQ(cells.Get(1, 5), CellValue::Boolean(true));
  EXPECT_EQ(cells.Get(1, 6).kind, CellValue::kError);
  EXPECT_EQ(cells.Get(2, 1).kind, CellValue::kEmpty);
  EXPECT_FALSE(cells.HasChanges());

  cells.Set(200, 3, CellValue::Text("late"));
  cells.Set(5, 9, CellValue::Number(1));
  cells.Set(5, 2, CellValue::Text(""));  // nothing there: not a change
  cells.Set(1, 2, CellValue{});          // cleared: a change
  cells.Set(70, 1, CellValue::Number(2));
  std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>> walked;
  for (SheetCells::ChangeCursor cursor(cells); cursor.Row(); cursor.Advance()) {
    walked.emplace_back(*cursor.Row(), cursor.Columns());
  }
  using Walk = std::vector<std::pair<std::uint32_t, std::vector<std::uint32_t>>>;
  EXPECT_EQ(walked, (Walk{{1, {2}}, {5, {2, 9}}, {70, {1}}, {200, {3}}}));
  EXPECT_EQ(cells.Extent()->last_row, 200u);
  EXPECT_EQ(cells.Extent()->last_column, 9u);
  cells.ForgetChanges();
  EXPECT_FALSE(cells.HasChanges());
  EXPECT_EQ(cells.Get(200, 3).text, "late");
}

TEST(Event, SubscriptionsEndWithTheirHandle) {
  Event<int> event;
  int total = 0;
  auto first = event.Subscribe([&](int n) { total += n; });
  Event<int>::Subscription moved;
  {
    auto second = event.Subscribe([&](int n) { total += 10 * n; });
    event.Raise(1);
    EXPECT_EQ(total, 11);
    moved = std::move(second);
  }
  event.Raise(1);
  EXPECT_EQ(total, 22);
  moved.Cancel();
  event.Raise(1);
  EXPECT_EQ(total, 23);
  EXPECT_EQ(event.Count(), 1u);
}

// Many random changes over a workbook with existing cells: what we read back after saving is
// exactly what we wrote, and openpyxl agrees on a sample.
TEST(Workbook, RandomChangesReadBackExactly) {
  ScratchFolder folder;
  auto path = folder / "random.xlsx";
  std::vector<RangeDefinition> ranges(12);
  for (std::size_t i = 0; i < ranges.size(); ++i) ranges[i].name = "R" + std::to_string(i);
  WorkbookTemplate::Options options;
  options.rows = 300;
  WorkbookTemplate::Create(path, ranges, options);

  std::mt19937 random(7);
  std::map<std::pair<std::uint32_t, std::uint32_t>, Variant> expected;
  for (int round = 0; round < 3; ++round) {
    auto workbook = Workbook::Open(path);
    auto sheet = workbook->Sheet(0);
    for (int i = 0; i < 400; ++i) {
      auto row = static_cast<std::uint32_t>(2 + random() % 320);
      auto column = static_cast<std::uint32_t>(1 + random() % 14);
      Variant value;
      // Numbers and dates in columns of their own: a number written into a date-formatted cell
      // keeps the cell's format and reads back as a date, as in the spreadsheet programs.
      switch (random() % 3) {
        case 0:
          if (column % 2 == 0) {
            value = Variant(OleDate{static_cast<double>(40000 + random() % 9000)});
          } else {
            value = Variant(static_cast<double>(random() % 100000) / 8);
          }
          break;
        case 1:
          value = Variant("t" + std::to_string(random()) + (random() % 2 ? " with  blanks " : ""));
          break;
        default:
          break;  // cleared
      }
      sheet->Cells(row, column).SetValue(value);
      expected[{row, column}] = value;
    }
    workbook->Save();
  }
  auto workbook = Workbook::Open(path);
  auto sheet = workbook->Sheet(0);
  for (const auto& [at, value] : expected) {
    EXPECT_EQ(sheet->Cells(at.first, at.second).Value(), value)
        << at.first << "," << at.second << " " << sheet->Cells(at.first, at.second).Text() << " "
        << value.ToText();
  }
  EXPECT_EQ(sheet->Cells(1, 1).Text(), "R0");  // the heading row stayed
  std::string cells;
  for (const auto& [at, value] : expected) {
    if (value.IsText())
      cells += "(" + std::to_string(at.first) + "," + std::to_string(at.second) + "),";
  }
  auto output =
      RunPython(folder.Path(), "wb = openpyxl.load_workbook(r'''" + path.string() +
                                   "''')\nws = wb.active\n" + "print(sum(1 for r, c in [" + cells +
                                   "] if isinstance(ws.cell(r, c).value, str)))\n");
  std::size_t texts = std::count_if(expected.begin(), expected.end(),
                                    [](const auto& e) { return e.second.IsText(); });
  EXPECT_EQ(output, std::to_string(texts) + "\n");
}

}  // namespace
}  // namespace orv
