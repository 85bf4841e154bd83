#include "shell/outside/xlsx/XlsxRangeList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "WorkbookFixtures.h"
#include "shell/outside/base/FieldSource.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/CellDates.h"
#include "shell/outside/xlsx/SheetBinding.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::MakeStockWorkbook;
using test::RunPython;
using test::ScratchFolder;

class Record : public FieldSource {
 public:
  std::map<std::string, Variant> fields;
  mutable int reads = 0;
  Variant Field(std::string_view name) const override {
    ++reads;
    auto found = fields.find(std::string(name));
    if (found == fields.end())
      throw AppError(3265, "", "Item cannot be found: " + std::string(name));
    return found->second;
  }
};

class RangeListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = MakeStockWorkbook(folder_);
    Reopen();
  }
  void Reopen() {
    workbook_ = Workbook::Open(path_);
    list_ = std::make_unique<XlsxRangeList>(workbook_);
    list_->DefineRange("Warehouse", 1, 0, 0, 0, "Warehouse", 2, 0, "", true, "", "");
    list_->DefineRange("Product", 1, 0, 0, 0, "Product", 20, 0, "", true, "", "");
    list_->DefineRange("Reorder", 1, 1, 0, 0, "Reorder level", 0, 0, "", false, "", "");
    list_->DefineRange("Due", 1, 2, 0, 0, "Due date", 10, 0, "", true, "", "");
    list_->DefineRange("Held?", 1, 0, 0, 0, "Held?", 1, 0, "", false, "", "");
    list_->DefineRange("sage_company", 0, 0, 0, 0, "Company", 4, 0, "", true, "company", "");
    list_->SetActiveSheet(workbook_->Sheet(0));
  }
  // Reads of row `row`; present_ says whether the cell counted as present.
  std::string Text(std::string_view name, std::int32_t row) {
    return list_->GetCellValue(name, row, present_);
  }
  double Number(std::string_view name, std::int32_t row) {
    return list_->GetCellNumber(name, row, present_);
  }
  OleDate Date(std::string_view name, std::int32_t row) {
    return list_->GetCellDate(name, row, present_);
  }

  bool present_ = false;
  ScratchFolder folder_;
  std::filesystem::path path_;
  std::shared_ptr<Workbook> workbook_;
  std::unique_ptr<XlsxRangeList> list_;
};

TEST_F(RangeListTest, DefinitionsAreFoundAndReplacedByNameWhateverItsCase) {
  list_->DefineRange("Expense", 1, 0, 4, 5, "Expense Code", 20, 7, "x", true, "", "z").GroupKey =
      "pac_grp";
  ASSERT_NE(list_->Definition("EXPENSE"), nullptr);
  EXPECT_EQ(list_->Definition("EXPENSE")->GroupKey, "pac_grp");
  list_->DefineRange("expense", 1, 1, 0, 0, "again", 0, 0, "", false, "", "");
  EXPECT_EQ(list_->RangeCount(), 7);
  EXPECT_EQ(list_->Definition("Expense")->description, "again");
  list_->ClearDefinitions();
  EXPECT_EQ(list_->RangeCount(), 0);
  EXPECT_EQ(list_->Definition("Product"), nullptr);
}

TEST_F(RangeListTest, TextReadsReportPresence) {
  EXPECT_EQ(Text("Warehouse", 1), "01");
  EXPECT_TRUE(present_);
  EXPECT_EQ(Text("Product", 4), "   ");
  EXPECT_TRUE(present_);
  EXPECT_EQ(Text("Product", 5), "");  // inside the range, blank
  EXPECT_FALSE(present_);
  list_->SetIncludeBlankCells(true);
  EXPECT_EQ(Text("Product", 5), "");
  EXPECT_TRUE(present_);
  Text("Product", 6);  // beyond the range
  EXPECT_FALSE(present_);
  EXPECT_EQ(Text("Due", 1), "05/03/2024");
  EXPECT_EQ(Text("Held?", 1), "N");             // the question mark is kept
  EXPECT_EQ(Text("sage_company", 99), "ACME");  // a header cell, any row
  EXPECT_EQ(list_->RangeRowCount("Product"), 5);
  EXPECT_EQ(list_->RangeRowCount("sage_company"), 1);

  EXPECT_FALSE(list_->RangeExists("Missing"));
  EXPECT_EQ(list_->RangeRowCount("Missing"), 0);
  EXPECT_FALSE(list_->GetRange("Missing"));
  EXPECT_EQ(Text("Missing", 1), "");
  EXPECT_FALSE(present_);
  list_->SetCellValue("Missing", "x", 1);
  list_->SetCellNumber("Missing", 1, 1);
  EXPECT_FALSE(workbook_->Document().HasChanges());
  EXPECT_THROW(Text("Product", 0), AppError);
}

TEST_F(RangeListTest, NumbersThatCannotBeReadNameRangeRowAndText) {
  EXPECT_EQ(Number("Reorder", 1), 12.5);
  EXPECT_TRUE(present_);
  EXPECT_EQ(Number("Reorder", 2), 7);  // text holding a number
  EXPECT_EQ(Number("Reorder", 3), 0);
  EXPECT_FALSE(present_);
  auto error = test::Caught([&] { Number("Reorder", 4); });
  EXPECT_EQ(error.Number(), kCellConversionError);
  EXPECT_EQ(error.Description(), "Range 'Reorder' row 4: 'abc' is not a number");
  EXPECT_EQ(Number("Product", 4), 0);  // blanks only: blank, not an error
  EXPECT_FALSE(present_);
}

TEST_F(RangeListTest, DatesFromSerialsAndDayFirstOrIsoTextButNeverTwoDigitYears) {
  EXPECT_EQ(Date("Due", 1), CellDates::FromCivil(2024, 3, 5));
  EXPECT_EQ(Date("Due", 2), CellDates::FromCivil(2024, 3, 5));
  EXPECT_EQ(Date("Due", 3), CellDates::FromCivil(2024, 12, 31));
  EXPECT_TRUE(present_);
  EXPECT_EQ(
      test::Caught([&] { Date("Due", 4); }).Description(),
      "Range 'Due' row 4: '05/03/24' has a two-digit year; write the year in full (dd/mm/yyyy)");
  EXPECT_EQ(test::Caught([&] { Date("Reorder", 1); }).Description(),
            "Range 'Reorder' row 1: '12.5' is a number, not a date");

  std::string problem;
  EXPECT_FALSE(CellDates::ParseText("31/02/2024", problem));
  EXPECT_EQ(problem, "is not a valid date");
  EXPECT_FALSE(CellDates::ParseText("2024/02/01", problem));
  EXPECT_EQ(CellDates::ParseText("29/02/2024", problem), CellDates::FromCivil(2024, 2, 29));
  EXPECT_EQ(CellDates::ParseText("2024-01-02T12:00:00", problem)->serial,
            CellDates::FromCivil(2024, 1, 2).serial + 0.5);
  // The 1900 system's phantom 29 February: serials before it are one day off OLE dates.
  EXPECT_EQ(CellDates::FromSerial(1, false), CellDates::FromCivil(1900, 1, 1));
  EXPECT_EQ(CellDates::FromSerial(61, false), CellDates::FromCivil(1900, 3, 1));
  EXPECT_EQ(CellDates::FromSerial(0, true), CellDates::FromCivil(1904, 1, 1));
  EXPECT_EQ(CellDates::ToSerial(CellDates::FromCivil(1900, 1, 1), false), 1);
}

TEST_F(RangeListTest, NamesThatDoNotNameOneRectangleOfThisWorkbookAreErrors) {
  for (const auto& [name, problem] : std::vector<std::pair<std::string, std::string>>{
           {"Elsewhere", "points to another workbook"},
           {"Gone", "points to a deleted sheet or area (#REF!)"},
           {"Patchy", "is not one rectangular area"},
           {"NoSheet", "points to sheet 'Missing', which the workbook does not have"}}) {
    EXPECT_TRUE(list_->RangeExists(name));
    auto error = test::Caught([&] { Text(name, 1); });
    EXPECT_EQ(error.Number(), kWorkbookFileError) << name;
    EXPECT_THAT(error.Description(), HasSubstr(path_.string()));
    EXPECT_THAT(error.Description(), HasSubstr("'" + name + "'"));
    EXPECT_THAT(error.Description(), HasSubstr(problem));
  }
}

TEST_F(RangeListTest, WritesGrowColumnRangesAndSurviveSaving) {
  list_->SetCellValue("Product", "NEW-9", 8);  // below the five rows laid out
  list_->SetCellNumber("Reorder", 3.5, 3);
  list_->SetCellValue("Warehouse", "", 1);  // an empty text clears
  list_->SetCellValue("sage_company", "BETA", 40);
  EXPECT_EQ(list_->RangeRowCount("Product"), 8);
  workbook_->Save();
  auto output =
      RunPython(folder_.Path(), "wb = openpyxl.load_workbook(r'''" + path_.string() + R"PY(''')
ws = wb["Stock"]
print(json.dumps([wb.defined_names["Product"].attr_text, ws["B9"].value, ws["C4"].value, ws["A2"].value,
                  ws["H1"].value, wb.defined_names["Warehouse"].attr_text]))
)PY");
  EXPECT_EQ(output, "[\"Stock!$B$2:$B$9\", \"NEW-9\", 3.5, null, \"BETA\", \"Stock!$A$2:$A$6\"]\n");
  Reopen();
  EXPECT_EQ(Text("Product", 8), "NEW-9");
}

TEST_F(RangeListTest, CopyFieldToCellWritesByType) {
  Record record;
  record.fields = {{"product", Variant("P-1")},
                   {"reorder", Variant(2.25)},
                   {"due", Variant(CellDates::FromCivil(2026, 7, 1))},
                   {"warehouse", Variant::MakeNull()}};
  list_->CopyFieldToCell(record, "Product", "product", 2);
  list_->CopyFieldToCell(record, "Reorder", "reorder", 2);
  list_->CopyFieldToCell(record, "Due", "due", 3);
  list_->CopyFieldToCell(record, "Warehouse", "warehouse", 1);
  EXPECT_EQ(record.reads, 4);
  list_->CopyFieldToCell(record, "NotInBook", "nothing", 1);  // no range: the field is not read
  EXPECT_EQ(record.reads, 4);
  EXPECT_THROW(list_->CopyFieldToCell(record, "Product", "nothing", 1), AppError);
  workbook_->Save();
  Reopen();
  EXPECT_EQ(Text("Product", 2), "P-1");
  EXPECT_EQ(Number("Reorder", 2), 2.25);
  EXPECT_EQ(Date("Due", 3), CellDates::FromCivil(2026, 7, 1));
  Text("Warehouse", 1);
  EXPECT_FALSE(present_);
}

TEST_F(RangeListTest, CellsAreFoundInTheirRanges) {
  auto stock = workbook_->Sheet(0);
  auto position = list_->RowOfCell(stock->At("B4"));
  ASSERT_TRUE(position.ok);
  EXPECT_EQ(position.row, 3);
  EXPECT_EQ(position.definition->name, "Product");
  EXPECT_TRUE(position.definition->browse);
  EXPECT_EQ(list_->RowOfCell(stock->At("H1")).definition->name, "sage_company");
  EXPECT_FALSE(list_->RowOfCell(stock->At("B1")).ok);  // the heading
  EXPECT_FALSE(list_->RowOfCell(workbook_->Sheet(1)->At("B4")).ok);
  EXPECT_EQ(list_->RangeNameOfCell(stock->At("E6")), "Held?");
  EXPECT_EQ(list_->RangeNameOfCell(stock->At("F2")), "");
  EXPECT_EQ(list_->IndexInRange(stock->At("B4"), "Product"), 3);
  EXPECT_EQ(list_->IndexInRange(stock->At("B7"), "Product"), -1);
  EXPECT_EQ(list_->IndexInRange(stock->At("C4"), "Product"), -1);
  EXPECT_TRUE(list_->CellInRange("Warehouse", stock->At("A2")));
  EXPECT_FALSE(list_->CellInRange("Warehouse", stock->At("A1")));
  EXPECT_FALSE(list_->CellInRange("Missing", stock->At("A2")));
}

TEST_F(RangeListTest, ClearRangesEmptiesDataCellsOnlyAndOnlyWhenConfirmed) {
  EXPECT_THROW(list_->ClearRanges(true, 0, 0), AppError);
  EXPECT_FALSE(workbook_->Document().HasChanges());
  list_->SetConfirmClear(true);
  list_->ClearRanges(true, 0, 0);
  workbook_->Save();
  auto output =
      RunPython(folder_.Path(), "wb = openpyxl.load_workbook(r'''" + path_.string() + R"PY(''')
ws = wb["Stock"]
print(json.dumps([[c.value for c in row] for row in ws.iter_rows(min_row=1, max_row=6, max_col=8)]))
)PY");
  EXPECT_EQ(output,
            "[[\"Warehouse\", \"Product\", \"Reorder\", \"Due\", \"Held?\", null, \"Company\", "
            "\"ACME\"], "
            "[null, null, null, null, null, \"=C2*2\", null, null], "
            "[null, null, null, null, null, \"=SUM(C2:C6)\", null, null], "
            "[null, null, null, null, null, null, null, null], "
            "[null, null, null, null, null, null, null, null], "
            "[null, null, null, null, null, null, null, null]]\n");
  EXPECT_THROW(list_->ClearRanges(true, 0, 0), AppError);  // the confirmation is used up
}

TEST_F(RangeListTest, AddRangesRecordsTheOwningComponent) {
  Application application(workbook_);
  EXPECT_FALSE(XlsxRangeList::OwnerProgId(*workbook_));
  list_->SetRegistrationFlags(true, true);
  list_->AddRanges(application, "OrvStockExcel.clsOrvStockEx", true);
  list_->AddRanges(application, "OrvStockExcel.clsOrvStockEx", true);
  workbook_->Save();
  auto reopened = Workbook::Open(path_);
  EXPECT_EQ(XlsxRangeList::OwnerProgId(*reopened), "OrvStockExcel.clsOrvStockEx");
  auto output = RunPython(folder_.Path(), "src = r'''" + path_.string() + R"PY('''
z = zipfile.ZipFile(src)
wb = openpyxl.load_workbook(src)
print(z.read("docProps/custom.xml").decode().count("OrvStockExcel.clsOrvStockEx"), wb["Stock"]["B3"].value)
)PY");
  EXPECT_EQ(output, "1 NUT-22\n");
}

TEST_F(RangeListTest, SelectingARowIsWhatTheUserSeesOnOpening) {
  list_->GetRange("Product")->Cells(4, 1).SelectEntireRow();
  workbook_->Save();
  auto output =
      RunPython(folder_.Path(), "wb = openpyxl.load_workbook(r'''" + path_.string() + R"PY(''')
ws = wb.active
print(ws.title, [(s.pane, s.activeCell, s.sqref) for s in ws.sheet_view.selection], ws.freeze_panes)
)PY");
  EXPECT_EQ(output, "Stock [('bottomLeft', 'A5', '5:5')] A2\n");
  EXPECT_EQ(Application(Workbook::Open(path_)).ActiveCell().Address(), "$A$5");

  auto reopened = Workbook::Open(path_);
  reopened->Sheet(1)->At("B3").SelectEntireRow();
  reopened->Save();
  output = RunPython(folder_.Path(), "wb = openpyxl.load_workbook(r'''" + path_.string() + R"PY(''')
print(wb.active.title, bool(wb["Stock"].sheet_view.tabSelected), wb["Notes"].sheet_view.tabSelected,
      wb["Notes"].sheet_view.selection[0].sqref)
)PY");
  EXPECT_EQ(output, "Notes False True 3:3\n");
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

TEST(SheetBinding, NamesLocalToTheBoundSheetResolveThere) {
  ScratchFolder folder;
  auto path = folder / "local.xlsx";
  RunPython(folder.Path(), "OUT = r'''" + path.string() + R"PY('''
from openpyxl.workbook.defined_name import DefinedName
wb = openpyxl.Workbook()
a = wb.active
a.title = "North"
b = wb.create_sheet("South")
for ws, text in ((a, "north"), (b, "south")):
    for row in range(1, 4):
        ws.cell(row, 1, text + str(row))
wb.defined_names.append(DefinedName("Code", localSheetId=0, attr_text="North!$A$1:$A$3"))
wb.defined_names.append(DefinedName("Code", localSheetId=1, attr_text="South!$A$1:$A$3"))
wb.defined_names.append(DefinedName("Everywhere", attr_text="North!$A$2"))
wb.save(OUT)
)PY");
  auto workbook = Workbook::Open(path);
  XlsxRangeList list(workbook);
  EXPECT_FALSE(list.RangeExists("Code"));  // no sheet bound: only workbook-level names
  SheetBinding binding;
  std::int32_t row = 2;
  bool present = false;
  binding.Bind(list, workbook->Sheet(1), true);
  EXPECT_TRUE(binding.Flag());
  EXPECT_EQ(list.GetCellValue("Code", row, present), "south2");
  EXPECT_EQ(list.GetCellValue("Everywhere", row, present), "north2");
  binding.Bind(list, workbook->Sheet(0), true);
  EXPECT_EQ(list.GetCellValue("Code", row, present), "north2");
}

// A write below a column range grows it over free cells only, for workbook and sheet-local names
// alike; a cell that holds something, or that another range holds, stops it and is left as it is.
TEST(RangeGrowth, OnlyOverCellsThatAreEmptyAndInNoOtherRange) {
  ScratchFolder folder;
  auto path = folder / "grow.xlsx";
  RunPython(folder.Path(), "OUT = r'''" + path.string() + R"PY('''
from openpyxl.workbook.defined_name import DefinedName
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Stock"
other = wb.create_sheet("Other")
ws["A7"] = "note A"
ws["B7"] = "note B"
for name, ref, local in (("Wide", "Stock!$A$2:$A$4", None), ("Code", "Stock!$B$2:$B$4", 0),
                         ("Code", "Other!$A$1:$A$3", 1), ("Cost", "Stock!$C$2:$C$4", None),
                         ("Below", "Stock!$C$6", None)):
    wb.defined_names.append(DefinedName(name, localSheetId=local, attr_text=ref))
wb.save(OUT)
)PY");
  struct Case {
    const char* name;
    std::int32_t blocked_row;  // the first row the range cannot grow to
    const char* reason;
    const char* grown;  // the defined name after the run: name|sheet id|area
  };
  const Case cases[] = {
      {"Wide", 6, "A7, which is not empty", "Wide|None|Stock!$A$2:$A$6"},
      {"Code", 6, "B7, which is not empty", "Code|0|Stock!$B$2:$B$6"},
      {"Cost", 5, "C6, which belongs to range 'Below'", "Cost|None|Stock!$C$2:$C$5"},
  };
  {
    auto workbook = Workbook::Open(path);
    XlsxRangeList list(workbook);
    for (const char* name : {"Wide", "Code", "Cost"})
      list.DefineRange(name, 1, 0, 0, 0, name, 10, 0, "", false, "", "");
    list.DefineRange("Below", 0, 0, 0, 0, "Below", 10, 0, "", false, "", "");
    list.SetActiveSheet(workbook->Sheet(0));
    EXPECT_FALSE(list.RowBlocker(4));
    auto blocker = list.RowBlocker(5);
    ASSERT_TRUE(blocker);
    EXPECT_NE(blocker->find("range 'Cost' cannot grow over C6"), std::string::npos) << *blocker;
    for (const auto& test : cases) {
      for (std::int32_t row = 4; row < test.blocked_row; ++row)
        list.SetCellValue(test.name, "grown", row);
      try {
        list.SetCellValue(test.name, "over", test.blocked_row);
        ADD_FAILURE() << test.name << " grew over row " << test.blocked_row;
      } catch (const AppError& error) {
        EXPECT_THAT(error.Description(), HasSubstr(test.reason));
      }
      EXPECT_EQ(list.RangeRowCount(test.name), test.blocked_row - 1) << test.name;
    }
    workbook->Save();
  }
  auto output = RunPython(folder.Path(), "wb = openpyxl.load_workbook(r'''" + path.string() +
                                             R"PY(''')
for d in wb.defined_names.definedName:
    print(d.name, d.localSheetId, d.attr_text, sep="|")
ws = wb["Stock"]
print(json.dumps([ws[c].value for c in ("A6", "A7", "B6", "B7", "C5", "C6")]))
)PY");
  for (const auto& test : cases) EXPECT_THAT(output, HasSubstr(std::string(test.grown) + "\n"));
  EXPECT_THAT(output, HasSubstr("Code|1|Other!$A$1:$A$3\n"));
  EXPECT_THAT(output, HasSubstr(R"(["grown", "note A", "grown", "note B", "grown", null])"));
}

}  // namespace
}  // namespace orv
