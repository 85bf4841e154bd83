#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/WorkbookFixtures.h"

namespace orv::test {

// One cell as openpyxl reads it back from a saved workbook.
struct CellRead {
  char kind = 'e';  // e empty, s text, n number, d date (as dd/mm/yyyy), b boolean
  std::string text;
  double number = 0;

  bool Empty() const { return kind == 'e'; }
};

inline std::ostream& operator<<(std::ostream& out, const CellRead& cell) {
  switch (cell.kind) {
    case 's':
      return out << "text \"" << cell.text << '"';
    case 'n':
      return out << "number " << cell.number;
    case 'd':
      return out << "date " << cell.text;
    case 'b':
      return out << "flag " << cell.text;
    default:
      return out << "empty";
  }
}

// Every defined name of the workbook with its cells in order (row by row), read by openpyxl, so
// that what the download wrote is seen by a reader other than our own workbook layer.
using RangeCells = std::map<std::string, std::vector<CellRead>>;

inline RangeCells ReadRanges(const std::filesystem::path& folder,
                             const std::filesystem::path& workbook) {
  std::string output = RunPython(
      folder, "import datetime\nwb = openpyxl.load_workbook(r'''" + workbook.string() + R"PY(''')
for dn in wb.defined_names.definedName:
    for title, ref in dn.destinations:
        cells = wb[title][ref.replace('$', '')]
        if not isinstance(cells, tuple):
            cells = ((cells,),)
        i = 0
        for row in cells:
            for c in row:
                i += 1
                v = c.value
                if v is None:
                    k, p = 'e', ''
                elif isinstance(v, str):
                    k, p = 's', v.encode().hex()
                elif isinstance(v, bool):
                    k, p = 'b', str(int(v))
                elif isinstance(v, (int, float)):
                    k, p = 'n', repr(float(v))
                elif isinstance(v, datetime.datetime):
                    k, p = 'd', v.strftime('%d/%m/%Y')
                else:
                    k, p = 's', str(v).encode().hex()
                print(dn.name, i, k, p, sep='\t')
)PY");
  RangeCells ranges;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string name, index, kind, payload;
    std::getline(fields, name, '\t');
    std::getline(fields, index, '\t');
    std::getline(fields, kind, '\t');
    std::getline(fields, payload, '\t');
    CellRead cell;
    cell.kind = kind.empty() ? 'e' : kind[0];
    if (cell.kind == 's') {
      for (std::size_t i = 0; i + 1 < payload.size(); i += 2)
        cell.text.push_back(static_cast<char>(std::stoi(payload.substr(i, 2), nullptr, 16)));
    } else if (cell.kind == 'n') {
      cell.number = std::stod(payload);
    } else {
      cell.text = payload;
    }
    ranges[name].push_back(cell);
  }
  return ranges;
}

}  // namespace orv::test
