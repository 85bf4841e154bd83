#include <gtest/gtest.h>

#include "WorkbookFixtures.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/CellDates.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "shell/outside/xlsx/XlsxRangeList.h"

namespace orv {
namespace {

using testing::MakeStockWorkbook;
using testing::ReadBytes;
using testing::RunPython;
using testing::ScratchFolder;
using testing::WriteBytes;
using testing::ZipEntries;

// A workbook written the way Excel writes one: shared strings (with rich text and phonetic runs),
// rows and cells without positions, a namespace prefix, booleans and error cells.
std::filesystem::path MakeHandWrittenWorkbook(const ScratchFolder& folder) {
  auto path = folder / "hand.xlsx";
  RunPython(folder.Path(), "OUT = r'''" + path.string() + R"PY('''
parts = {
"[Content_Types].xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/><Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>',
"_rels/.rels": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>',
"xl/workbook.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<x:workbook xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><x:workbookPr/><x:sheets><x:sheet name="Data Sheet" sheetId="1" r:id="rId1"/></x:sheets><x:definedNames><x:definedName name="Code">\'Data Sheet\'!$A$1:$A$4</x:definedName><x:definedName name="Flag">\'Data Sheet\'!$B$1:$B$4</x:definedName><x:definedName name="Held_">\'Data Sheet\'!$C$1:$C$4</x:definedName></x:definedNames></x:workbook>',
"xl/_rels/workbook.xml.rels": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/><Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>',
"xl/calcChain.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><c r="D4" i="1"/></calcChain>',
"xl/styles.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="1"><numFmt numFmtId="170" formatCode="[Red]&quot;due &quot;yyyy\\-mm\\-dd"/></numFmts><fonts count="1"><font><sz val="11"/></font></fonts><fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills><borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0"/></cellStyleXfs><cellXfs count="3"><xf numFmtId="0"/><xf numFmtId="170"/><xf numFmtId="4"/></cellXfs></styleSheet>',
"xl/sharedStrings.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3" uniqueCount="3"><si><t>A&amp;B</t></si><si><r><t>Bold</t></r><r><t xml:space="preserve"> part</t></r><rPh sb="0" eb="1"><t>ignored</t></rPh></si><si><t>tab_x0009_here</t></si></sst>',
"xl/worksheets/sheet1.xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:sheetData><x:row><x:c t="s"><x:v>0</x:v></x:c><x:c t="b"><x:v>1</x:v></x:c><x:c s="1"><x:v>45356.5</x:v></x:c><x:c r="E1"><x:f t="shared" ref="E1:E2" si="0">A5*2</x:f><x:v>2</x:v></x:c></x:row><x:row><x:c t="s"><x:v>1</x:v></x:c><x:c t="e"><x:v>#N/A</x:v></x:c><x:c s="2"><x:v>3.25</x:v></x:c><x:c r="E2"><x:f t="shared" si="0"/><x:v>4</x:v></x:c></x:row><x:row r="4"><x:c r="A4" t="s"><x:v>2</x:v></x:c><x:c r="D4" t="str"><x:f>A4</x:f><x:v>tab</x:v></x:c></x:row></x:sheetData></x:worksheet>',
}
with zipfile.ZipFile(OUT, "w", zipfile.ZIP_DEFLATED) as z:
    for name, text in parts.items():
        z.writestr(name, text)
)PY");
  return path;
}

TEST(Workbook, ReadsWhatOpenpyxlWrote) {
  ScratchFolder folder;
  auto workbook = Workbook::Open(MakeStockWorkbook(folder));
  ASSERT_EQ(workbook->SheetCount(), 2u);
  EXPECT_EQ(workbook->Sheet(1)->Name(), "Notes");
  auto stock = workbook->SheetNamed("stock");
  ASSERT_TRUE(stock);
  EXPECT_EQ(stock->Cells(2, 1).Text(), "01");
  EXPECT_EQ(stock->Cells(2, 3).Value(), Variant(12.5));
  EXPECT_EQ(stock->Cells(2, 4).Value(), Variant(CellDates::FromCivil(2024, 3, 5)));
  EXPECT_EQ(stock->Cells(2, 4).Text(), "05/03/2024");
  EXPECT_EQ(stock->Cells(5, 2).Text(), "   ");  // blanks are kept
  EXPECT_TRUE(stock->Cells(4, 3).Value().IsEmpty());
  EXPECT_TRUE(stock->Cells(2, 6).Value().IsEmpty());  // a formula without a cached value
  EXPECT_EQ(workbook->Sheet(1)->Cells(2, 2).Value(), Variant(42.0));

  auto area = workbook->NamedRange("PRODUCT");
  ASSERT_TRUE(area);
  EXPECT_EQ(area->Address(), "$B$2:$B$6");
  EXPECT_EQ(area->RowCount(), 5u);
  EXPECT_FALSE(workbook->NamedRange("NotThere"));
}

TEST(Workbook, ReadsSharedStringsPrefixesAndImplicitPositions) {
  ScratchFolder folder;
  auto workbook = Workbook::Open(MakeHandWrittenWorkbook(folder));
  auto sheet = workbook->Sheet(0);
  EXPECT_EQ(sheet->Name(), "Data Sheet");
  EXPECT_EQ(sheet->Cells(1, 1).Text(), "A&B");
  EXPECT_EQ(sheet->Cells(1, 2).Text(), "TRUE");
  EXPECT_EQ(sheet->Cells(1, 3).Value(), Variant(OleDate{45356.5}));  // custom date format
  EXPECT_EQ(sheet->Cells(2, 1).Text(), "Bold part");  // runs joined, phonetic left out
  EXPECT_EQ(sheet->Cells(2, 2).Text(), "#N/A");
  EXPECT_EQ(sheet->Cells(2, 3).Value(), Variant(3.25));  // "#,##0.00" is no date
  EXPECT_EQ(sheet->Cells(4, 1).Text(), "tab\there");
  EXPECT_EQ(sheet->Cells(4, 4).Text(), "tab");
  EXPECT_EQ(workbook->NamedRange("code")->Address(), "$A$1:$A$4");
  // A program that could not store "Held?" saved it as "Held_": the range list still finds it.
  XlsxRangeList list(workbook);
  EXPECT_TRUE(list.RangeExists("Held?"));
  EXPECT_EQ(list.GetRange("Held?")->Address(), "$C$1:$C$4");
}

TEST(Workbook, SavedViewGivesActiveSheetAndCellUnlessOverridden) {
  ScratchFolder folder;
  auto workbook = Workbook::Open(MakeStockWorkbook(folder));
  Application application(workbook);
  EXPECT_EQ(application.ActiveSheet()->Name(), "Stock");
  EXPECT_EQ(application.ActiveCell().Address(), "$B$4");

  int activations = 0;
  std::string activated;
  {
    auto subscription = workbook->OnSheetActivate([&](Worksheet& sheet) {
      ++activations;
      activated = sheet.Name();
    });
    application.SetActiveSheet("Notes");
    application.SetActiveSheet("Notes");  // no change, no event
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(activated, "Notes");
    EXPECT_EQ(application.ActiveCell().Address(), "$A$1");
    application.SetActiveCell("C7");
    EXPECT_EQ(application.ActiveCell().Address(), "$C$7");
  }
  application.SetActiveSheet("Stock");  // the subscription is gone
  EXPECT_EQ(activations, 1);
  EXPECT_THROW(application.SetActiveSheet("Nope"), AppError);
  EXPECT_THROW(application.SetActiveCell("7C"), AppError);
}

TEST(Workbook, RoundTripChangesOurCellsAndNothingElse) {
  ScratchFolder folder;
  auto path = MakeStockWorkbook(folder);
  auto before = ZipEntries(path);
  auto stored_before = testing::ZipStorage(path);
  {
    auto workbook = Workbook::Open(path);
    auto stock = workbook->Sheet(0);
    stock->Cells(3, 2).SetValue(Variant("NUT<&>\"22\""));
    stock->Cells(2, 3).SetValue(Variant(99.75));
    stock->Cells(4, 3).SetValue(Variant(CellDates::FromCivil(2025, 1, 31)));  // new cell, a date
    stock->Cells(5, 2).SetValue(Variant());                                   // cleared
    stock->Cells(9, 1).SetValue(Variant(" lead and trail "));                 // a new row
    stock->Cells(2, 5).SetValue(Variant(true));
    workbook->Sheet(1)->Cells(1, 3).SetValue(Variant("notes"));
    workbook->Save();
    EXPECT_FALSE(workbook->Document().HasChanges());
    // The document keeps working on the saved file.
    stock->Cells(2, 1).SetValue(Variant("03"));
    workbook->Save();
  }
  auto after = ZipEntries(path);
  ASSERT_EQ(before.size(), after.size());
  for (const auto& [name, content] : before) {
    if (name == "xl/worksheets/sheet1.xml" || name == "xl/worksheets/sheet2.xml" ||
        name == "xl/styles.xml")
      continue;
    EXPECT_EQ(after[name], content) << name;
    EXPECT_EQ(testing::ZipStorage(path)[name], stored_before[name]) << name;
  }
  auto output =
      RunPython(folder.Path(), "wb = openpyxl.load_workbook(r'''" + path.string() + R"PY(''')
ws = wb["Stock"]
print(json.dumps([ws["B3"].value, ws["C2"].value, str(ws["C4"].value), ws["C4"].number_format, ws["B5"].value,
                  ws["A9"].value, ws["E2"].value, ws["A2"].value, ws["F3"].value, ws["B2"].comment.text,
                  ws["D2"].number_format, ws.freeze_panes, wb["Notes"]["A1"].value, wb["Notes"]["C1"].value,
                  sorted(n.name for n in wb.defined_names.definedName)]))
)PY");
  EXPECT_EQ(
      output,
      "[\"NUT<&>\\\"22\\\"\", 99.75, \"2025-01-31 00:00:00\", \"dd/mm/yyyy\", null, \" lead "
      "and trail \", true, "
      "\"03\", \"=SUM(C2:C6)\", \"keep me\", \"dd/mm/yyyy\", \"A2\", \"free text\", \"notes\", "
      "[\"Due\", \"Elsewhere\", \"Gone\", \"Held?\", \"NoSheet\", \"Patchy\", \"Product\", "
      "\"Reorder\", "
      "\"Warehouse\", \"sage_company\"]]\n");
}

TEST(Workbook, RoundTripOfHandWrittenXmlKeepsPrefixesAndFillsPositions) {
  ScratchFolder folder;
  auto path = MakeHandWrittenWorkbook(folder);
  auto shared_strings = ZipEntries(path)["xl/sharedStrings.xml"];
  {
    auto workbook = Workbook::Open(path);
    auto sheet = workbook->Sheet(0);
    sheet->Cells(1, 2).SetValue(Variant("x"));    // between two cells without positions
    sheet->Cells(3, 1).SetValue(Variant(5.0));    // a row between two rows
    sheet->At("C3").SelectEntireRow();            // the file has no saved view yet
    sheet->Cells(4, 4).SetValue(Variant(1.0));    // a formula replaced: the calculation chain goes
    sheet->Cells(1, 5).SetValue(Variant("top"));  // the first cell of a shared formula
    workbook->Save();
  }
  auto reopened = Workbook::Open(path);
  auto sheet = reopened->Sheet(0);
  EXPECT_EQ(sheet->Cells(1, 1).Text(), "A&B");
  EXPECT_EQ(sheet->Cells(1, 2).Text(), "x");
  EXPECT_EQ(sheet->Cells(1, 3).Value(), Variant(OleDate{45356.5}));
  EXPECT_EQ(sheet->Cells(2, 1).Text(), "Bold part");
  EXPECT_EQ(sheet->Cells(3, 1).Value(), Variant(5.0));
  EXPECT_EQ(sheet->Cells(4, 1).Text(), "tab\there");
  EXPECT_EQ(Application(reopened).ActiveCell().Address(), "$A$3");
  auto entries = ZipEntries(path);
  const std::string sheet_part = "xl/worksheets/sheet1.xml";
  EXPECT_EQ(entries["xl/sharedStrings.xml"], shared_strings);
  EXPECT_EQ(entries.count("xl/calcChain.xml"), 0u);
  EXPECT_EQ(entries["xl/_rels/workbook.xml.rels"].find("calcChain"), std::string::npos);
  EXPECT_EQ(entries["[Content_Types].xml"].find("calcChain"), std::string::npos);
  auto output =
      RunPython(folder.Path(), "wb = openpyxl.load_workbook(r'''" + path.string() + R"PY(''')
ws = wb.active
print(json.dumps([ws["A1"].value, ws["B1"].value, ws["A3"].value, ws["C2"].value, ws["D4"].value, ws["E1"].value,
                  ws["E2"].value]))
)PY");
  EXPECT_EQ(output, "[\"A&B\", \"x\", 5, 3.25, 1, \"top\", 4]\n");
  EXPECT_EQ(entries[sheet_part].find("si=\"0\""), std::string::npos);
}

TEST(Workbook, FailureBeforeRenameLeavesTheOriginalByteIdentical) {
  ScratchFolder folder;
  auto path = MakeStockWorkbook(folder);
  auto original = ReadBytes(path);
  auto workbook = Workbook::Open(path);
  workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("CHANGED"));
  EXPECT_THROW(workbook->Save([] { throw AppError(kWorkbookFileError, "", "disk pulled"); }),
               AppError);
  EXPECT_EQ(ReadBytes(path), original);
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    files += entry.is_regular_file();
  EXPECT_EQ(files, 3u);  // the workbook, the fixture script and its log: no temporary left behind
  // The change is still pending and a later save succeeds.
  workbook->Save();
  EXPECT_EQ(Workbook::Open(path)->Sheet(0)->Cells(2, 2).Text(), "CHANGED");
}

TEST(Workbook, AFileChangedByAnotherProgramIsNotOverwritten) {
  ScratchFolder folder;
  auto path = MakeStockWorkbook(folder);
  auto workbook = Workbook::Open(path);
  workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("MINE"));
  auto theirs = MakeStockWorkbook(folder, "theirs.xlsx");
  std::filesystem::rename(theirs, path);
  auto bytes = ReadBytes(path);
  try {
    workbook->Save();
    ADD_FAILURE() << "saved over a changed file";
  } catch (const AppError& error) {
    EXPECT_NE(error.Description().find("changed by another program"), std::string::npos)
        << error.Description();
  }
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST(Workbook, LockFileOfAnotherProgramGivesAWarning) {
  ScratchFolder folder;
  auto path = MakeStockWorkbook(folder);
  auto workbook = Workbook::Open(path);
  EXPECT_FALSE(workbook->LockWarning());
  WriteBytes(folder / ".~lock.stock.xlsx#", ",someone,host,01.01.2026 10:00,file:///home/someone;");
  auto warning = workbook->LockWarning();
  ASSERT_TRUE(warning);
  EXPECT_NE(warning->find("stock.xlsx"), std::string::npos);
  EXPECT_NE(warning->find("open in another program"), std::string::npos);
}

// Opening `path` fails with a WorkbookError that names the file and contains `problem`; the file
// is left as it was.
void ExpectOpenFails(const std::filesystem::path& path, const std::string& problem,
                     const ZipLimits& limits = {}) {
  auto bytes = ReadBytes(path);
  try {
    auto workbook = Workbook::Open(path, limits);
    for (std::size_t i = 0; i < workbook->SheetCount(); ++i) workbook->Document().Cells(i);
    ADD_FAILURE() << "opened " << path;
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), kWorkbookFileError);
    EXPECT_NE(error.Description().find(path.string()), std::string::npos) << error.Description();
    EXPECT_NE(error.Description().find(problem), std::string::npos) << error.Description();
  }
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST(WorkbookBadInput, EachFileFaultIsNamed) {
  ScratchFolder folder;
  auto good = MakeStockWorkbook(folder);
  auto bytes = ReadBytes(good);

  auto text = folder / "text.xlsx";
  WriteBytes(text, "Warehouse,Product\n01,BOLT\n");
  ExpectOpenFails(text, "not a zip file");

  auto truncated = folder / "truncated.xlsx";
  WriteBytes(truncated, bytes.substr(0, bytes.size() / 2));
  ExpectOpenFails(truncated, "truncated or damaged");

  ExpectOpenFails(folder / "absent.xlsx", "no such file");

  auto rewrite = [&](const std::string& name, const std::string& python) {
    auto path = folder / name;
    RunPython(folder.Path(),
              "src = r'''" + good.string() + "'''\nout = r'''" + path.string() + "'''\n" + python);
    return path;
  };
  auto missing = rewrite("missing.xlsx", R"PY(
with zipfile.ZipFile(src) as a, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as b:
    for item in a.infolist():
        if item.filename != "xl/worksheets/sheet2.xml":
            b.writestr(item, a.read(item.filename))
)PY");
  ExpectOpenFails(missing, "missing part xl/worksheets/sheet2.xml");

  auto no_workbook = rewrite("noworkbook.xlsx", R"PY(
with zipfile.ZipFile(src) as a, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as b:
    for item in a.infolist():
        if item.filename != "xl/workbook.xml":
            b.writestr(item, a.read(item.filename))
)PY");
  ExpectOpenFails(no_workbook, "missing part xl/workbook.xml");

  for (const auto& [part, content] : std::vector<std::pair<std::string, std::string>>{
           {"xl/worksheets/sheet1.xml",
            "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></row>"},
           {"xl/workbook.xml", "<workbook><sheets><sheet name=\"a\" </sheets></workbook>"}}) {
    auto broken = rewrite("broken.xlsx", "part = '" + part + "'\ncontent = '''" + content + R"PY('''
with zipfile.ZipFile(src) as a, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as b:
    for item in a.infolist():
        b.writestr(item, content if item.filename == part else a.read(item.filename))
)PY");
    ExpectOpenFails(broken, "malformed XML");
    ExpectOpenFails(broken, part);
  }

  // Bytes its declared encoding cannot convert: an error like any, and the XML library prints
  // nothing of its own.
  auto undecodable = rewrite("undecodable.xlsx", R"PY(
content = b'<?xml version="1.0" encoding="ISO-2022-JP"?>\x13\x00="\xff\xfe\x00\xd8<worksheet/>'
with zipfile.ZipFile(src) as a, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as b:
    for item in a.infolist():
        b.writestr(item, content if item.filename == "xl/worksheets/sheet1.xml" else a.read(item.filename))
)PY");
  ::testing::internal::CaptureStderr();
  ExpectOpenFails(undecodable, "malformed XML");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  auto bomb = rewrite("bomb.xlsx", R"PY(
with zipfile.ZipFile(src) as a, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as b:
    for item in a.infolist():
        data = a.read(item.filename)
        if item.filename == "xl/worksheets/sheet2.xml":
            data = data.replace(b"</worksheet>", b"<!---->" * (3 << 20) + b"</worksheet>")
        b.writestr(item, data)
)PY");
  ExpectOpenFails(bomb, "zip bomb",
                  ZipLimits{std::uint64_t{16} << 20, std::uint64_t{64} << 20, 1000});
  ExpectOpenFails(bomb, "zip bomb", ZipLimits{std::uint64_t{1} << 32, std::uint64_t{1} << 20, 100});
  EXPECT_NO_THROW(Workbook::Open(bomb)->Document().Cells(1));  // the default limits allow it
}

}  // namespace
}  // namespace orv
