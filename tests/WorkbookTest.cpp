#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <vector>

#include "WorkbookFixtures.h"
#include "shell/outside/base/FatalSignalCleanup.h"
#include "shell/outside/base/TemporaryFolder.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/CellDates.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "shell/outside/xlsx/XlsxRangeList.h"

namespace orv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using test::MakeStockWorkbook;
using test::ReadBytes;
using test::RunPython;
using test::ScratchFolder;
using test::WriteBytes;
using test::ZipEntries;

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
  auto stored_before = test::ZipStorage(path);
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
    EXPECT_EQ(test::ZipStorage(path)[name], stored_before[name]) << name;
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
  EXPECT_THAT(entries["xl/_rels/workbook.xml.rels"], Not(HasSubstr("calcChain")));
  EXPECT_THAT(entries["[Content_Types].xml"], Not(HasSubstr("calcChain")));
  auto output =
      RunPython(folder.Path(), "wb = openpyxl.load_workbook(r'''" + path.string() + R"PY(''')
ws = wb.active
print(json.dumps([ws["A1"].value, ws["B1"].value, ws["A3"].value, ws["C2"].value, ws["D4"].value, ws["E1"].value,
                  ws["E2"].value]))
)PY");
  EXPECT_EQ(output, "[\"A&B\", \"x\", 5, 3.25, 1, \"top\", 4]\n");
  EXPECT_THAT(entries[sheet_part], Not(HasSubstr("si=\"0\"")));
}

TEST(Workbook, AFailureAtAnyStepOfASaveLeavesTheOriginalAndNoTemporary) {
  ScratchFolder folder;
  auto path = MakeStockWorkbook(folder);
  const auto original = ReadBytes(path);
  auto workbook = Workbook::Open(path);
  workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("CHANGED"));
  std::vector<std::string> steps;
  for (const char* failing : {"copy", "sheet", "archive", "rename"}) {
    steps.clear();
    EXPECT_THROW(workbook->Save([&](std::string_view step) {
      steps.emplace_back(step);
      if (step == failing) throw AppError(kWorkbookFileError, "", "disk pulled");
    }),
                 AppError)
        << failing;
    EXPECT_EQ(steps.back(), failing) << "the save reached that step";
    EXPECT_TRUE(ReadBytes(path) == original) << failing;
    auto entries = std::filesystem::directory_iterator(folder.Path());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 3)
        << failing << ": the workbook, the fixture script and its log only";
  }
  // The changes are still there to be saved.
  workbook->Save();
  EXPECT_EQ(Workbook::Open(path)->Sheet(0)->Cells(2, 2).Text(), "CHANGED");
}

// Another program's file in the workbook's place, before the save or while it runs, is kept.
TEST(Workbook, AFileChangedByAnotherProgramIsNotOverwritten) {
  for (bool while_saving : {false, true}) {
    ScratchFolder folder;
    auto path = MakeStockWorkbook(folder);
    auto workbook = Workbook::Open(path);
    workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("MINE"));
    auto replace = [&] { std::filesystem::rename(MakeStockWorkbook(folder, "theirs.xlsx"), path); };
    if (!while_saving) replace();
    std::string theirs = while_saving ? "" : ReadBytes(path);
    try {
      workbook->Save([&](std::string_view step) {
        if (while_saving && step == "rename") {
          replace();
          theirs = ReadBytes(path);
        }
      });
      ADD_FAILURE() << "saved over a changed file";
    } catch (const AppError& error) {
      EXPECT_THAT(error.Description(), HasSubstr("changed by another program"));
    }
    EXPECT_TRUE(ReadBytes(path) == theirs) << while_saving;
  }
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
    EXPECT_THAT(error.Description(), HasSubstr(path.string()));
    EXPECT_THAT(error.Description(), HasSubstr(problem));
  }
  EXPECT_TRUE(ReadBytes(path) == bytes);
}

// A copy of `good` named `name` whose entries the Python function edit(name, data), given in
// `edit`, changes; an entry it returns None for is left out.
std::filesystem::path Rewritten(const ScratchFolder& folder, const std::filesystem::path& good,
                                const std::string& name, const std::string& edit) {
  auto path = folder / name;
  RunPython(folder.Path(), "src = r'''" + good.string() + "'''\nout = r'''" + path.string() +
                               "'''\n" + edit + R"PY(
with zipfile.ZipFile(src) as a, zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as b:
    for item in a.infolist():
        data = edit(item.filename, a.read(item.filename))
        if data is not None:
            b.writestr(item, data)
)PY");
  return path;
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

  for (const std::string part : {"xl/worksheets/sheet2.xml", "xl/workbook.xml"})
    ExpectOpenFails(
        Rewritten(folder, good, "missing.xlsx",
                  "def edit(name, data): return None if name == '" + part + "' else data\n"),
        "missing part " + part);

  for (const auto& [part, content] : std::vector<std::pair<std::string, std::string>>{
           {"xl/worksheets/sheet1.xml",
            "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></row>"},
           {"xl/workbook.xml", "<workbook><sheets><sheet name=\"a\" </sheets></workbook>"}}) {
    auto broken = Rewritten(folder, good, "broken.xlsx",
                            "def edit(name, data): return b'''" + content + "''' if name == '" +
                                part + "' else data\n");
    ExpectOpenFails(broken, "malformed XML");
    ExpectOpenFails(broken, part);
  }

  // Bytes its declared encoding cannot convert: an error like any, and the XML library prints
  // nothing of its own.
  auto undecodable = Rewritten(folder, good, "undecodable.xlsx", R"PY(
def edit(name, data):
    if name == "xl/worksheets/sheet1.xml":
        return b'<?xml version="1.0" encoding="ISO-2022-JP"?>\x13\x00="\xff\xfe\x00\xd8<worksheet/>'
    return data
)PY");
  ::testing::internal::CaptureStderr();
  ExpectOpenFails(undecodable, "malformed XML");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  auto bomb = Rewritten(folder, good, "bomb.xlsx", R"PY(
def edit(name, data):
    if name == "xl/worksheets/sheet2.xml":
        return data.replace(b"</worksheet>", b"<!---->" * (3 << 20) + b"</worksheet>")
    return data
)PY");
  ExpectOpenFails(bomb, "zip bomb",
                  ZipLimits{std::uint64_t{16} << 20, std::uint64_t{64} << 20, 1000});
  ExpectOpenFails(bomb, "zip bomb", ZipLimits{std::uint64_t{1} << 32, std::uint64_t{1} << 20, 100});
  EXPECT_NO_THROW(Workbook::Open(bomb)->Document().Cells(1));  // the default limits allow it
}

TEST(WorkbookBadInput, WhatCannotBeReadFaithfullyIsRefused) {
  ScratchFolder folder;
  auto good = MakeStockWorkbook(folder);
  ExpectOpenFails(folder.Path(), "a folder, not a workbook");
  ExpectOpenFails("/dev/null", "not a workbook");
  // An OLE compound file: an encrypted workbook, and an old binary one.
  std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  ole.resize(1024, '\0');
  auto old_format = folder / "old.xlsx";
  WriteBytes(old_format, ole);
  ExpectOpenFails(old_format, "not an .xlsx workbook");
  for (char c : std::string("EncryptedPackage")) ole += std::string{c, '\0'};
  auto encrypted = folder / "encrypted.xlsx";
  WriteBytes(encrypted, ole);
  ExpectOpenFails(encrypted, "encrypted");

  // The fixture has no shared strings: any cell that names one points nowhere.
  for (const char* index : {"0", "999", "99999999999"}) {
    auto dangling =
        Rewritten(folder, good, "dangling.xlsx", std::string("index = b'") + index + R"PY('
def edit(name, data):
    if name == "xl/worksheets/sheet1.xml":
        return data.replace(b"</sheetData>", b'<row r="9"><c r="A9" t="s"><v>' + index + b'</v></c></row></sheetData>')
    return data
)PY");
    ExpectOpenFails(dangling, std::string("cell A9 names shared string ") + index);
  }
  auto long_text = Rewritten(folder, good, "long.xlsx", R"PY(
def edit(name, data):
    if name == "xl/worksheets/sheet2.xml":
        return data.replace(b"</sheetData>", b'<row r="9"><c r="A9" t="inlineStr"><is><t>' + b"x" * (2 << 20) + b'</t></is></c></row></sheetData>')
    return data
)PY");
  ExpectOpenFails(long_text, "too large");
  ExpectOpenFails(good, "too large", ZipLimits{.max_total_size = 4096});
}

TEST(Workbook, AProtectedSheetIsNeverWrittenInto) {
  ScratchFolder folder;
  auto path = folder / "protected.xlsx";
  RunPython(folder.Path(), "OUT = r'''" + path.string() + "'''\n" + test::kStockFixture +
                               "wb = openpyxl.load_workbook(OUT)\nwb['Stock'].protection.sheet = "
                               "True\nwb.save(OUT)\n");
  auto bytes = ReadBytes(path);
  auto workbook = Workbook::Open(path);
  EXPECT_THROW(workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("MINE")), AppError);
  workbook->Sheet(1)->Cells(1, 1).SetValue(Variant("the notes sheet is not protected"));
  workbook->Document().Cells(0).Set(3, 2, CellValue::Text("around the sheet's own checks"));
  try {
    workbook->Save();
    ADD_FAILURE() << "saved into a protected sheet";
  } catch (const AppError& error) {
    EXPECT_THAT(error.Description(), HasSubstr("'Stock' is protected"));
  }
  EXPECT_TRUE(ReadBytes(path) == bytes);
}

TEST(Workbook, SavingThroughALinkReplacesTheTargetAndKeepsItsModeAndOwner) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder / "real");
  auto target = MakeStockWorkbook(folder, "real/stock.xlsx");
  auto link = folder / "link.xlsx";
  std::filesystem::create_symlink("real/stock.xlsx", link);
  ::chmod(target.c_str(), 0640);
  bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
  }

  auto workbook = Workbook::Open(link);
  EXPECT_FALSE(workbook->Document().HardLinkWarning());
  std::filesystem::create_hard_link(target, folder / "other name.xlsx");
  auto warning = workbook->Document().HardLinkWarning();
  ASSERT_TRUE(warning);
  EXPECT_NE(warning->find("1 other hard link"), std::string::npos) << *warning;
  workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("THROUGH THE LINK"));
  workbook->Save();
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Workbook::Open(target)->Sheet(0)->Cells(2, 2).Text(), "THROUGH THE LINK");
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(status.st_uid, 65534u);
  }
}

// The entries of `folder` other than the ones named.
std::vector<std::string> Others(const std::filesystem::path& folder,
                                const std::set<std::string>& known) {
  std::vector<std::string> others;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!known.count(entry.path().filename().string()))
      others.push_back(entry.path().filename().string());
  }
  return others;
}

TEST(Workbook, ASaveKeepsItsTemporariesInOneFolderThatNoSignalLeavesBehind) {
  ScratchFolder folder;
  auto path = MakeStockWorkbook(folder);
  const std::set<std::string> known{"stock.xlsx", "script.py", "script.err"};
  const auto original = ReadBytes(path);
  {
    auto workbook = Workbook::Open(path);
    workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("ONE"));
    workbook->Sheet(1)->Cells(2, 2).SetValue(Variant("TWO"));
    std::vector<std::string> during;
    workbook->Save([&](std::string_view step) {
      if (step == "rename") during = Others(folder.Path(), known);
    });
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0].rfind(".~orvstock.", 0), 0u) << during[0];
    EXPECT_TRUE(Others(folder.Path(), known).empty());
  }
  const auto saved = ReadBytes(path);

  // A run killed while saving: the caught signals clean up, SIGKILL cannot; the next run removes
  // what a dead run left.
  FatalSignalCleanup::Install();
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      try {
        auto workbook = Workbook::Open(path);
        workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("NEVER"));
        workbook->Save([signal](std::string_view step) {
          if (step == "rename") ::raise(signal);
        });
      } catch (...) {
      }
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_TRUE(ReadBytes(path) == saved) << signal;
    EXPECT_EQ(Others(folder.Path(), known).size(), signal == SIGKILL ? 1u : 0u) << signal;
  }
  // A live run's folder is left alone.
  auto live = folder / (TemporaryFolder::OwnPrefix() + "x");
  std::filesystem::create_directory(live);
  auto workbook = Workbook::Open(path);
  workbook->Sheet(0)->Cells(2, 2).SetValue(Variant("AFTER"));
  workbook->Save();
  EXPECT_EQ(Others(folder.Path(), known), std::vector<std::string>{live.filename().string()});
  EXPECT_NE(ReadBytes(path), original);
}

}  // namespace
}  // namespace orv
