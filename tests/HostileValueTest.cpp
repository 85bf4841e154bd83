// Hostile text through the upload: every text range of the catalogue receives values that break
// careless SQL, XML and trimming. Each comes back from a download byte for byte, or its row is
// refused by one of the upload's rules; no statement changes shape.

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "tests/StockRunFixture.h"
#include "tests/WorkbookFixtures.h"

namespace orv {
namespace {

const std::vector<std::string> kHostile = {
    "it's",       "say \"hi\"",  "x;--", "a\\b", "  two  ", "\xF0\x9F\x98\x80" /* U+1F600 */,
    "a\tb\nc\rd", "\x01\x1f\x7f"};

// A product that closes a quoted literal and appends a statement, if anything pastes it into SQL.
constexpr const char* kInjection = "x';drop table stockm";

std::vector<std::string> TextRanges() {
  std::vector<std::string> names;
  for (const auto& range : test::StockCatalogue())
    if (range.data_type == RangeDefinition::kText && range.layout == RangeDefinition::kColumn &&
        !range.DownloadOnly && range.name != "Warehouse" && range.name != "Product")
      names.push_back(range.name);
  return names;
}

class HostileValueTest : public test::StockWorkbookTest {
 protected:
  // A quarter more records than hostile cells: rows to choose from where a range needs a kind of
  // record.
  int CompanyRows() const override {
    return static_cast<int>(TextRanges().size() * kHostile.size() * 5 / 4);
  }
};

// Whether the row may carry a value for the range: a stock record with stock on hand keeps its
// traceability whatever the sheet says.
bool Takes(const test::SheetEdit& sheet, const std::string& range, std::uint32_t row) {
  return range != "Traceability" || sheet.Get("PhysicalQty", row).ToDouble() == 0;
}

TEST_P(HostileValueTest, TextComesBackByteForByteOrIsRefusedByARule) {
  const auto ranges = TextRanges();
  const auto rows = static_cast<std::uint32_t>(CompanyRows());
  auto path = Template(static_cast<int>(rows) + 1);
  ASSERT_EQ(DownloadAll(path).reported, 0);
  // Each hostile cell in a row of its own, every other cell as downloaded (technical description
  // lines with a page); the row below the records is a new product whose code is an injection.
  std::vector<std::vector<std::uint32_t>> row_for(ranges.size());
  auto cell = [&](std::size_t range, std::size_t value) { return row_for[range][value]; };
  {
    test::SheetEdit sheet(path);
    std::uint32_t next = 1;
    std::vector<bool> used(rows + 1);
    for (std::size_t r = 0; r < ranges.size(); ++r)
      for (std::size_t v = 0; v < kHostile.size(); ++v) {
        std::uint32_t row = next;
        while (used[row] || !Takes(sheet, ranges[r], row)) ASSERT_LE(++row, rows);
        used[row] = true;
        while (next <= rows && used[next]) ++next;
        row_for[r].push_back(row);
        sheet.Set(ranges[r], row, Variant(kHostile[v]));
        if (ranges[r].rfind("TEXT", 0) == 0 && sheet.Get("PageNumber", row).ToText().empty())
          sheet.Set("PageNumber", row, Variant("1"));
      }
    for (const auto& range : sheet.RangesWithRow(rows + 1))
      sheet.Set(range, rows + 1, sheet.Get(range, 1));
    sheet.Set("Product", rows + 1, Variant(kInjection));
    sheet.Save();
  }

  // The check names each refused row and the rule that refused it.
  auto check = CheckAll(path);
  EXPECT_EQ(check.reported, 0) << check.notices;
  const std::uint32_t first_row = test::SheetEdit(path).FirstRow("Product");
  std::map<std::uint32_t, std::string> rule_of_row;
  std::istringstream lines(check.notices);
  for (std::string line; std::getline(lines, line);) {
    // "sheet row 12 (warehouse 01, product P): error 5005 (-2147216499): the rule's message"
    auto named = test::FindNamedRow(line);
    if (!named || named->rest.rfind(": error ", 0) != 0) continue;
    const std::string& rest = named->rest;
    const long number = std::stol(rest.substr(8));
    const std::string message = rest.substr(rest.find(": ", 8) + 2);
    const auto row = named->sheet_row - first_row + 1;
    // A rule's error number is counted from the object-error base; a database error keeps its
    // own, and only a value too wide for its column may cause one.
    std::size_t width = message.find("CHECK constraint failed: length(");
    if (width == std::string::npos) width = message.find("value too long for type");
    if (number >= 0 && number < 65536)
      rule_of_row[row] = message;
    else if (width != std::string::npos)
      rule_of_row[row] =
          "the database: " + message.substr(width, message.find(" while", width) - width);
    else
      ADD_FAILURE() << line;
  }
  EXPECT_EQ(rule_of_row.count(rows + 1), 0u) << "the injected product is a product code like any";

  // The refused cells go back to what was downloaded; the rest is uploaded.
  {
    test::SheetEdit sheet(path);
    auto fresh = Template(static_cast<int>(rows) + 1, "downloaded.xlsx");
    ASSERT_EQ(DownloadAll(fresh).reported, 0);
    test::SheetEdit downloaded(fresh);
    for (std::size_t r = 0; r < ranges.size(); ++r)
      for (std::size_t v = 0; v < kHostile.size(); ++v)
        if (rule_of_row.count(cell(r, v)))
          sheet.Set(ranges[r], cell(r, v), downloaded.Get(ranges[r], cell(r, v)));
    sheet.Save();
  }
  auto upload = UploadAll(path);
  ASSERT_EQ(upload.reported, 0) << upload.notices;

  // Downloaded again (the new product comes in among the others): byte for byte.
  auto back = Template(static_cast<int>(rows) + 1, "again.xlsx");
  ASSERT_EQ(DownloadAll(back).reported, 0);
  test::SheetEdit again(back), sent(path);
  auto key = [](const test::SheetEdit& sheet, std::uint32_t row) {
    return sheet.Get("Warehouse", row).ToText() + "|" + sheet.Get("Product", row).ToText();
  };
  std::map<std::string, std::uint32_t> row_of;
  for (std::uint32_t row = 1; row <= rows + 1; ++row) row_of[key(again, row)] = row;
  EXPECT_EQ(row_of.size(), rows + 1);
  std::size_t kept = 0;
  std::string whole;
  for (std::size_t r = 0; r < ranges.size(); ++r) {
    int refused = 0;
    std::string rule;
    for (std::size_t v = 0; v < kHostile.size(); ++v) {
      const auto row = cell(r, v);
      if (auto found = rule_of_row.find(row); found != rule_of_row.end()) {
        ++refused;
        rule = found->second;
        continue;
      }
      EXPECT_EQ(again.Get(ranges[r], row_of[key(sent, row)]).ToText(), kHostile[v])
          << ranges[r] << " row " << row << " (value " << v << ")";
      ++kept;
    }
    if (refused == 0) {
      whole += " " + ranges[r];
      continue;
    }
    for (char& c : rule)
      if (static_cast<unsigned char>(c) < ' ') c = ' ';
    std::cout << fmt::format("[ hostile  ] {}: {} of {} refused, as: {}\n", ranges[r], refused,
                             kHostile.size(), rule);
  }
  std::cout << fmt::format("[ hostile  ] every value came back byte for byte in:{}\n", whole);
  std::cout << fmt::format("[ hostile  ] {} of {} hostile cells came back byte for byte\n", kept,
                           ranges.size() * kHostile.size());

  // The injection is a product like any other, and the stock master is still there.
  Recordset product;
  product.Open("select count(*) as n from " + connection_->TableCatalogue().StockMaster() +
                   " where product = ?",
               connection_->AdoConnection(), {Variant(kInjection)});
  EXPECT_EQ(product.Fields("n").ToDouble(), 1);
  // What another reader makes of the workbook: openpyxl opens it.
  test::RunPython(scratch_->Folder(), "openpyxl.load_workbook(r'''" + back.string() + "''')\n");
}

INSTANTIATE_TEST_SUITE_P(Databases, HostileValueTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
