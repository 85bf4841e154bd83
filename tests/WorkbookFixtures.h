#pragma once

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/TestSupport.h"

namespace orv::test {

// Runs a script with Debian's Python (where python3-openpyxl lives); returns its standard output.
// The test fails when the script fails.
inline std::string RunPython(const std::filesystem::path& folder, const std::string& script) {
  auto file = folder / "script.py";
  WriteBytes(file, "import openpyxl, sys, json, zipfile\n" + script);
  auto errors = folder / "script.err";
  std::string command = "/usr/bin/python3 '" + file.string() + "' 2>'" + errors.string() + "'";
  std::string output;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    while (auto got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
    int status = ::pclose(pipe);
    EXPECT_EQ(status, 0) << output << ReadBytes(errors);
  } else {
    ADD_FAILURE() << "cannot run python";
  }
  return output;
}

// The unpacked content of every entry of a zip file.
inline std::map<std::string, std::string> ZipEntries(const std::filesystem::path& path) {
  std::map<std::string, std::string> entries;
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (archive == nullptr) {
    ADD_FAILURE() << "cannot open " << path;
    return entries;
  }
  auto count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    auto index = static_cast<zip_uint64_t>(i);
    std::string name = zip_get_name(archive, index, 0);
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    std::string content;
    char buffer[65536];
    zip_int64_t got;
    while ((got = zip_fread(file, buffer, sizeof buffer)) > 0)
      content.append(buffer, static_cast<std::size_t>(got));
    zip_fclose(file);
    entries[name] = content;
  }
  zip_discard(archive);
  return entries;
}

// How each entry is stored: method, packed size and checksum (equal for an entry copied as it
// stands).
inline std::map<std::string, std::string> ZipStorage(const std::filesystem::path& path) {
  std::map<std::string, std::string> storage;
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (archive == nullptr) return storage;
  auto count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
    storage[stat.name] = std::to_string(stat.comp_method) + "/" + std::to_string(stat.comp_size) +
                         "/" + std::to_string(stat.crc) + "/" + std::to_string(stat.mtime);
  }
  zip_discard(archive);
  return storage;
}

// The stock workbook most tests start from, written by openpyxl: sheet "Stock" with headings in
// row 1 and ranges Warehouse (A2:A6), Product (B2:B6), Reorder (C2:C6, numbers), Due (D2:D6,
// dates), "Held?" (E2:E6) and the header cell sage_company (H1); a formula, a comment, a second
// sheet "Notes", a hidden print area and a frozen heading row with the cursor on B4.
inline constexpr const char* kStockFixture = R"PY(
from openpyxl.comments import Comment
from openpyxl.workbook.defined_name import DefinedName
import datetime
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Stock"
ws.append(["Warehouse", "Product", "Reorder", "Due", "Held?", "", "Company"])
ws["H1"] = "ACME"
rows = [["01", "BOLT-1", 12.5, datetime.datetime(2024, 3, 5), "N"],
        ["01", "NUT-22", "7", "05/03/2024", "Y"],
        ["02", "WASHER", None, "2024-12-31", ""],
        ["02", "   ", "abc", "05/03/24", None]]
for r in rows:
    ws.append(r)
ws["D2"].number_format = "dd/mm/yyyy"
ws["F2"] = "=C2*2"
ws["F3"] = "=SUM(C2:C6)"
ws["B2"].comment = Comment("keep me", "tester")
ws.freeze_panes = "A2"
ws.sheet_view.selection[0].activeCell = "B4"
ws.sheet_view.selection[0].sqref = "B4"
notes = wb.create_sheet("Notes")
notes["A1"] = "free text"
notes["B2"] = 42
for name, ref in [("Warehouse", "Stock!$A$2:$A$6"), ("Product", "Stock!$B$2:$B$6"),
                  ("Reorder", "Stock!$C$2:$C$6"), ("Due", "Stock!$D$2:$D$6"),
                  ("Held?", "Stock!$E$2:$E$6"), ("sage_company", "Stock!$H$1"),
                  ("Elsewhere", "[1]Stock!$A$1"), ("Gone", "#REF!"),
                  ("Patchy", "Stock!$A$1,Stock!$C$3"), ("NoSheet", "Missing!$A$1")]:
    wb.defined_names.append(DefinedName(name, attr_text=ref))
ws.print_area = "A1:E6"
wb.save(sys.argv[1] if len(sys.argv) > 1 else OUT)
)PY";

inline std::filesystem::path MakeStockWorkbook(const ScratchFolder& folder,
                                               const std::string& name = "stock.xlsx") {
  auto path = folder / name;
  RunPython(folder.Path(), "OUT = r'''" + path.string() + "'''\n" + kStockFixture);
  return path;
}

}  // namespace orv::test
