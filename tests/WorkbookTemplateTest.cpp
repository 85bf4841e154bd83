#include "shell/outside/xlsx/WorkbookTemplate.h"

#include <gtest/gtest.h>

#include "WorkbookFixtures.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/MacroInstaller.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/XlsxRangeList.h"

namespace orv {
namespace {

using test::MakeStockWorkbook;
using test::ReadBytes;
using test::RunPython;
using test::ScratchFolder;

// A small catalogue as the range catalogue defines one.
XlsxRangeList Catalogue() {
  XlsxRangeList list;
  list.RangeGroups() = {{"Unit Details", "ud_grp", ""}, {"Inventory Policy", "ip_grp", ""}};
  list.DefineRange("Warehouse", 1, 0, 0, 0, "Warehouse", 2, 0, "", true, "", "").Heading =
      "Warehouse";
  list.DefineRange("Product", 1, 0, 0, 0, "Product", 20, 0, "", true, "", "").Heading = "Product";
  auto& weight =
      list.DefineRange("Weight", 1, 1, 0, 0, "Weight/unit (max)", 0, 0, "", false, "", "");
  weight.Heading = "Weight/unit (max)";
  weight.GroupKey = "ud_grp";
  auto& held = list.DefineRange("Held?", 1, 0, 0, 0, "Held?", 1, 0, "", false, "", "");
  held.Heading = "Held?";
  held.GroupKey = "ip_grp";
  auto& review = list.DefineRange("ReviewDate", 1, 2, 0, 0, "Review date", 10, 0, "", true, "", "");
  review.Heading = "Review";
  review.GroupKey = "ip_grp";
  list.DefineRange("sage_company", 0, 0, 0, 0, "Company", 4, 0, "", true, "company", "")
      .CompanyRange = true;
  return list;
}

TEST(WorkbookTemplate, SelectsByNameOrGroupAndListsTheCatalogue) {
  auto list = Catalogue();
  auto picked = WorkbookTemplate::Select(list.Definitions(), {"ip_grp", "warehouse"});
  ASSERT_EQ(picked.size(), 3u);
  EXPECT_EQ(picked[0].name, "Warehouse");
  EXPECT_EQ(picked[1].name, "Held?");
  EXPECT_EQ(picked[2].name, "ReviewDate");
  EXPECT_EQ(WorkbookTemplate::Select(list.Definitions(), {}).size(), 6u);
  EXPECT_THROW(WorkbookTemplate::Select(list.Definitions(), {"nothing"}), AppError);
  auto listing = WorkbookTemplate::Listing(list.RangeGroups(), list.Definitions());
  EXPECT_EQ(listing,
            "(no group)\n"
            "  Warehouse           Warehouse                   text 2\n"
            "  Product             Product                     text 20\n"
            "  sage_company        Company                     text 4 (header cell)\n"
            "Unit Details [ud_grp]\n"
            "  Weight              Weight/unit (max)           number\n"
            "Inventory Policy [ip_grp]\n"
            "  Held?               Held?                       text 1\n"
            "  ReviewDate          Review                      date 10\n");
}

TEST(WorkbookTemplate, CreatesAWorkbookThatSpreadsheetProgramsAndTheRangeListRead) {
  ScratchFolder folder;
  auto path = folder / "new.xlsx";
  auto list = Catalogue();
  WorkbookTemplate::Options options;
  options.rows = 20;
  options.owner_prog_id = "OrvStockExcel.clsOrvStockEx";
  WorkbookTemplate::Create(path, WorkbookTemplate::Select(list.Definitions(), {}), options);
  auto output =
      RunPython(folder.Path(), "wb = openpyxl.load_workbook(r'''" + path.string() + R"PY(''')
ws = wb.active
print(json.dumps([ws.title, ws.freeze_panes, [c.value for c in ws[3]], ws["A1"].value, ws["A1"].font.b,
                  sorted((n.name, n.attr_text) for n in wb.defined_names.definedName),
                  ws.column_dimensions["E"].number_format]))
)PY");
  EXPECT_EQ(
      output,
      "[\"Stock\", \"A4\", [\"Warehouse\", \"Product\", \"Weight/unit (max)\", \"Held?\", "
      "\"Review\"], "
      "\"Company\", true, [[\"Held?\", \"Stock!$D$4:$D$23\"], [\"Product\", \"Stock!$B$4:$B$23\"], "
      "[\"ReviewDate\", \"Stock!$E$4:$E$23\"], [\"Warehouse\", \"Stock!$A$4:$A$23\"], "
      "[\"Weight\", \"Stock!$C$4:$C$23\"], [\"sage_company\", \"Stock!$B$1\"]], \"dd/mm/yyyy\"]\n");

  auto workbook = Workbook::Open(path);
  EXPECT_EQ(XlsxRangeList::OwnerProgId(*workbook), "OrvStockExcel.clsOrvStockEx");
  EXPECT_EQ(Application(workbook).ActiveCell().Address(), "$A$4");
  XlsxRangeList ranges(workbook);
  EXPECT_EQ(ranges.RangeRowCount("Product"), 20);
  ranges.SetCellValue("Held?", "Y", 20);
  ranges.SetCellValue("sage_company", "ACME", 1);
  workbook->Save();
  output = RunPython(folder.Path(), "wb = openpyxl.load_workbook(r'''" + path.string() + R"PY(''')
print(wb.active["D23"].value, wb.active["B1"].value)
)PY");
  EXPECT_EQ(output, "Y ACME\n");

  auto before = ReadBytes(path);
  EXPECT_THROW(WorkbookTemplate::Create(path, WorkbookTemplate::Select(list.Definitions(), {}), {}),
               AppError);
  EXPECT_EQ(ReadBytes(path), before);
  options.rows = 0;
  options.replace_existing = true;
  EXPECT_THROW(
      WorkbookTemplate::Create(path, WorkbookTemplate::Select(list.Definitions(), {}), options),
      AppError);
  EXPECT_EQ(ReadBytes(path), before);
  options.rows = 5;
  options.sheet_name = "Stock?";
  EXPECT_THROW(
      WorkbookTemplate::Create(path, WorkbookTemplate::Select(list.Definitions(), {}), options),
      AppError);
  EXPECT_EQ(ReadBytes(path), before);
  options.sheet_name = "Stock 2026";  // a name that needs quoting in the defined names
  WorkbookTemplate::Create(path, WorkbookTemplate::Select(list.Definitions(), {"Product"}),
                           options);
  EXPECT_EQ(Workbook::Open(path)->NamedRange("Product")->Address(), "$A$2:$A$6");
  EXPECT_EQ(Workbook::Open(path)->Names().front().formula, "'Stock 2026'!$A$2:$A$6");
}

TEST(MacroInstaller, AddingTwiceKeepsOneRegistrationAndRemovingRemovesIt) {
  ScratchFolder folder;
  auto path = MakeStockWorkbook(folder);
  auto workbook = Workbook::Open(path);
  MacroInstaller installer;
  installer.SetWorkbook(workbook);
  installer.SetMacroName("OrvStockBrowseViewStock");
  installer.SetCaption("View Stock");
  installer.Add();
  installer.Add();
  installer.AddShortcut();
  workbook->Save();
  auto output = RunPython(folder.Path(), "z = zipfile.ZipFile(r'''" + path.string() + R"PY(''')
text = z.read("docProps/custom.xml").decode()
print(text.count("OrvStock.BrowseCode.OrvStockBrowseViewStock"), text.count("View Stock"))
)PY");
  EXPECT_EQ(output, "1 1\n");
  auto reopened = Workbook::Open(path);
  auto& document = reopened->Document();
  EXPECT_EQ(document.CustomProperty(MacroInstaller::ShortcutProperty("OrvStockBrowseViewStock")),
            "View Stock\t");
  installer.SetWorkbook(reopened);
  installer.Remove();
  installer.RemoveShortcut();
  reopened->Save();
  auto last = Workbook::Open(path);
  EXPECT_FALSE(last->Document().CustomProperty(
      MacroInstaller::BrowseCodeProperty("OrvStockBrowseViewStock")));
  EXPECT_FALSE(
      last->Document().CustomProperty(MacroInstaller::ShortcutProperty("OrvStockBrowseViewStock")));
  MacroInstaller unset;
  EXPECT_THROW(unset.Add(), AppError);
}

}  // namespace
}  // namespace orv
