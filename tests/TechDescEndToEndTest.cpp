// Technical description pages end to end: the page component driven as the host drives it, and
// `orvstock` itself, on a demo company in SQLite and PostgreSQL, through real .xlsx workbooks that
// openpyxl reads back. Expected pages come from the test's own writes, never from the component.

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>

#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/xlsx/Range.h"
#include "tests/ComponentRun.h"
#include "tests/DatabaseFixture.h"
#include "tests/HostRunner.h"
#include "tests/RangeDump.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::Contains;
using test::Key;
// One sheet row: the page number cell, then the lines given (the rest left empty).
using SheetRow = std::vector<std::string>;

struct Page {
  std::string number;
  std::array<std::string, 12> lines{};
  bool operator==(const Page&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Page& page) {
  out << '[' << page.number;
  for (const auto& line : page.lines) out << '|' << line;
  return out << ']';
}

Page MakePage(const SheetRow& row) {
  Page page{row.at(0), {}};
  for (std::size_t i = 1; i < row.size(); ++i) page.lines.at(i - 1) = row[i];
  return page;
}

constexpr const char* kTooMany = "Warning - too many rows of data for the size of ranges defined";
// The page rows of a page workbook start on sheet row 6, below the header cells and headings.
constexpr int kFirstSheetRow = 6;

// Five pages of an item, with an apostrophe, a line of full width and blanks around a word.
const std::vector<SheetRow> kFivePages = {
    {"001", "Hex bolt, zinc plated", "Don't store wet"},
    {"002", "Second page", "", "third line after a blank one"},
    {"003", "  blanks around  "},
    {"004", std::string(60, 'x')},
    {"005", "Last page", "", "", "", "", "", "", "", "", "", "", "line twelve"}};

class TechDescEndToEndTest : public test::DemoCompanyTest {
 protected:
  void SetUp() override {
    DemoCompanyTest::SetUp();
    if (IsSkipped()) return;
    OpenDemoCompany(7, 20);
    item_ = Keys().front();
    Execute("insert into " + Tables().StockMaster() +
                " (warehouse, product, description) values (?, ?, ?)",
            {Variant(quoted_.first), Variant(quoted_.second), Variant("Apostrophe item")});
  }

  // The item's pages become exactly these.
  void SetPages(const Key& item, const std::vector<SheetRow>& rows) {
    Execute(
        "delete from " + Tables().TechnicalDescription() + " where warehouse = ? and product = ?",
        {Variant(item.first), Variant(item.second)});
    std::string columns = "warehouse, product, page_number, spare";
    for (int n = 1; n <= 12; ++n) columns += fmt::format(", text{:02}", n);
    for (const auto& row : rows) {
      Page page = MakePage(row);
      std::vector<Variant> values = {Variant(item.first), Variant(item.second),
                                     Variant(page.number), Variant("")};
      for (const auto& line : page.lines) values.emplace_back(line);
      Execute("insert into " + Tables().TechnicalDescription() + " (" + columns +
                  ") values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
              values);
    }
  }

  std::vector<Page> DbPages(const Key& item) {
    Recordset records;
    records.Open("select * from " + Tables().TechnicalDescription() +
                     " where warehouse = ? and product = ? order by page_number",
                 connection_->AdoConnection(), {Variant(item.first), Variant(item.second)});
    std::vector<Page> pages;
    for (; !records.Eof(); records.MoveNext()) {
      Page page{records.Fields("page_number").ToText(), {}};
      for (int n = 1; n <= 12; ++n)
        page.lines[n - 1] = DataConnection::NullToText(records.Fields(fmt::format("text{:02}", n)));
      pages.push_back(page);
    }
    return pages;
  }

  // Every row of the company (gtest shows the lines that differ).
  std::string Dump() { return test::DumpCompany(*connection_, 7); }

  // A page workbook of `rows` page rows whose header cells name `item`, holding `cells` in its
  // first rows (a page number of digits is typed as a number). `picks`: the ranges it has.
  std::filesystem::path Sheet(int rows, const Key& item, const std::vector<SheetRow>& cells,
                              const std::vector<std::string>& picks = {}) {
    auto path = scratch_->Folder() / fmt::format("pages{}.xlsx", ++sheets_);
    test::PageWorkbook(path, picks, rows, kTechDescProgId);
    auto workbook = Workbook::Open(path);
    workbook->NamedRange("Warehouse")->SetValue(Variant(item.first));
    workbook->NamedRange("Product")->SetValue(Variant(item.second));
    for (std::size_t r = 0; r < cells.size(); ++r) {
      for (std::size_t c = 0; c < cells[r].size(); ++c) {
        const std::string& text = cells[r][c];
        auto range = workbook->NamedRange(c == 0 ? "PageNumber" : fmt::format("TEXT{:02}", c));
        if (!range) continue;
        bool digits = !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char ch) {
          return std::isdigit(ch) != 0;
        });
        range->Cells(static_cast<std::uint32_t>(r + 1), 1)
            .SetValue(digits ? Variant(std::stod(text)) : Variant(text));
      }
    }
    workbook->Save();
    return path;
  }

  // The page rows of a saved workbook as openpyxl reads them.
  std::vector<Page> SheetPages(const std::filesystem::path& path) {
    auto cells = test::ReadRanges(scratch_->Folder(), path);
    auto text = [](const test::CellRead& cell) {
      return cell.kind == 'n' ? fmt::format("{}", cell.number) : cell.text;
    };
    std::vector<Page> pages;
    for (std::size_t r = 0; r < cells["PageNumber"].size(); ++r) {
      Page page{text(cells["PageNumber"][r]), {}};
      for (int n = 1; n <= 12; ++n) page.lines[n - 1] = text(cells[fmt::format("TEXT{:02}", n)][r]);
      pages.push_back(page);
    }
    return pages;
  }

  // One action as the host runs it; the workbook is saved unless an error was reported.
  test::RunResult Run(const std::filesystem::path& path, std::deque<std::string> answers,
                      void (_clsSTTechDescEx::*action)(), const std::string& active_cell = "",
                      bool check = false) {
    test::HostSetup setup;
    setup.companies_file = companies_file_;
    setup.active_cell = active_cell;
    setup.upload_check = check;
    setup.save_after_error = false;
    return test::RunPages(
        path, std::move(answers), [&](_clsSTTechDescEx& pages, Workbook&) { (pages.*action)(); },
        setup);
  }

  test::RunResult Download(const std::filesystem::path& path, bool listed,
                           const std::string& active_cell = "") {
    return Run(path, {listed ? "chkSelectRngs=1" : "chkSelectRngs=0", "cmdOk"},
               &_clsSTTechDescEx::DownloadTechnicalDescriptions, active_cell);
  }

  test::RunResult Upload(const std::filesystem::path& path, bool check = false) {
    return Run(path, check ? std::deque<std::string>{} : std::deque<std::string>{"cmdOk"},
               &_clsSTTechDescEx::UploadTechnicalDescriptions, "", check);
  }

  // orvstock with this test's companies file.
  test::HostResult Host(const std::string& arguments) {
    return test::RunHost("--config '" + companies_file_.string() + "' " + arguments);
  }

  Key item_;
  const Key quoted_{"01", "O'NEIL-7"};
  int sheets_ = 0;
};

std::vector<Page> Pages(const std::vector<SheetRow>& rows) {
  std::vector<Page> pages;
  for (const auto& row : rows) pages.push_back(MakePage(row));
  return pages;
}

TEST_P(TechDescEndToEndTest, AllPagesFillTheRowsBelowTheStartRowInPageOrder) {
  struct Case {
    std::size_t pages;
    const char* active_cell;  // on row 2 of the pages, or none
    std::vector<const char*> sheet;
    long warnings;
  };
  const Case cases[] = {
      {5, "", {"001", "002", "003"}, 1}, {3, "", {"001", "002", "003"}, 0},
      {1, "A7", {"", "", "001"}, 0},     {5, "C7", {"", "", "001"}, 1},
      {0, "", {"", "", ""}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(fmt::format("{} pages, active cell '{}'", c.pages, c.active_cell));
    std::vector<SheetRow> on_file(kFivePages.begin(), kFivePages.begin() + c.pages);
    // Listed out of order: the rows come in page order all the same.
    std::reverse(on_file.begin(), on_file.end());
    SetPages(item_, on_file);
    auto path = Sheet(3, item_, {{"9", "old"}, {"8", "old"}, {"7", "old"}});
    auto run = Download(path, false, c.active_cell);
    EXPECT_EQ(run.errors, 0) << run.Output();
    EXPECT_EQ(std::count(run.messages.begin(), run.messages.end(), kTooMany), c.warnings);
    auto sheet = SheetPages(path);
    ASSERT_EQ(sheet.size(), 3u);
    for (std::size_t r = 0; r < 3; ++r) {
      std::string number = c.sheet[r];
      Page expected{};
      for (const auto& row : kFivePages)
        if (row[0] == number) expected = MakePage(row);
      EXPECT_EQ(sheet[r], expected) << "row " << r + 1 << ": earlier rows are emptied";
    }
    auto cells = test::ReadRanges(scratch_->Folder(), path);
    EXPECT_EQ(cells["Product"].at(0).text, item_.second) << "the header cells stay";
  }
}

TEST_P(TechDescEndToEndTest, ListedPagesAreReadByNumberAndAMissingOneLeavesItsRow) {
  SetPages(item_, {{"001", "first on file"}, {"012", "twelfth", "", "It's here"}});
  auto path = Sheet(4, item_, {{"1", "stale"}, {"", "no page"}, {"12", "stale"}, {"7", "mine"}});
  auto run = Download(path, true);
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(SheetPages(path), Pages({{"001", "first on file"},
                                     {"", "no page"},
                                     {"012", "twelfth", "", "It's here"},
                                     {"7", "mine"}}));
  const std::string missing = "Invalid Row , Warehouse: " + item_.first +
                              " and Product: " + item_.second +
                              " Page number: 007  Not Found In Database";
  auto at = run.Output().find(missing);
  EXPECT_NE(at, std::string::npos) << run.Output();
  EXPECT_EQ(run.Output().find("Invalid Row", at + 1), std::string::npos) << "reported once";

  // Cancel or the close box downloads nothing and says the work was not done.
  SetPages(item_, {{"001", "changed on file"}});
  const auto sheet = SheetPages(path);
  for (const char* answer : {"cmdCancel", "close"}) {
    run = Run(path, {answer}, &_clsSTTechDescEx::DownloadTechnicalDescriptions);
    EXPECT_EQ(run.failures, 1) << answer;
    EXPECT_EQ(SheetPages(path), sheet) << answer;
  }
}

TEST_P(TechDescEndToEndTest, UploadInsertsUpdatesDeletesAndCountsOnlyWhatItWrote) {
  SetPages(item_, {{"001", "one"}, {"002", "two"}, {"003", "three", "It's kept"}, {"004", "four"}});
  auto path = Sheet(7, item_,
                    {{"1", "edited", "It's new"},
                     {"", "no page number: skipped"},
                     {"6", "a new page"},
                     {"2"},
                     {"3", "three", "It's kept"},
                     {"8"}});
  auto run = Upload(path);
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_THAT(run.Output(), HasSubstr("Record Processed : 5, Added: 1, Updated: 2"));
  EXPECT_EQ(DbPages(item_), Pages({{"001", "edited", "It's new"},
                                   {"003", "three", "It's kept"},
                                   {"004", "four"},
                                   {"006", "a new page"}}));
}

TEST_P(TechDescEndToEndTest, AFailingRowOrAMissingItemRollsTheWholeRunBack) {
  SetPages(item_, kFivePages);
  struct Case {
    Key item;
    std::vector<SheetRow> rows;
    std::string message;
    std::string where;
  };
  const std::string row3 = fmt::format("sheet row {}", kFirstSheetRow + 2);
  const Case cases[] = {
      {item_,
       {{"1", "changed"}, {"6", "new"}, {"1000", "x"}},
       "Sheet number cannot be blank",
       row3},
      {item_, {{"1", "changed"}, {"6", "new"}, {"abc"}}, "Sheet number cannot be blank", row3},
      {item_, {{"1", "changed"}, {"6", "new"}, {"2", std::string(61, 'y')}}, "", row3},
      {{item_.first, "NO-SUCH"},
       {{"1", "changed"}},
       "Stock record not found for warehouse:" + item_.first + " Product:NO-SUCH",
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows.back().at(0) + " " + c.item.second);
    const std::string before = Dump();
    auto run = Upload(Sheet(3, c.item, c.rows));
    EXPECT_EQ(run.errors, 1) << run.Output();
    EXPECT_THAT(run.Output(), HasSubstr(c.message));
    EXPECT_EQ(Contains(run.Output(), "Upload stopped at " + c.where), !c.where.empty())
        << run.Output();
    EXPECT_EQ(Dump(), before) << "nothing of the run is kept";
  }
}

TEST_P(TechDescEndToEndTest, DownloadedPagesUploadedUneditedChangeNothing) {
  SetPages(item_, kFivePages);
  SetPages(quoted_, {{"001", "O'Neil's first"}, {"002", "second"}});
  // A line the database holds as null reads as empty and stays null.
  Execute("update " + Tables().TechnicalDescription() +
          " set text05 = null where page_number = '002'");
  const std::string before = Dump();
  for (const Key& item : {item_, quoted_}) {
    auto path = Sheet(6, item, {});
    ASSERT_EQ(Download(path, false).errors, 0);
    auto run = Upload(path);
    EXPECT_EQ(run.errors, 0) << run.Output();
    EXPECT_THAT(run.Output(), HasSubstr("Added: 0, Updated: 0"));
  }
  EXPECT_EQ(Dump(), before);

  // An apostrophe in the key and in a line: the edit is written as typed, the blank page deleted.
  auto path = Sheet(2, quoted_, {{"1", "It's O'Neil's"}, {"2"}});
  auto run = Upload(path);
  EXPECT_EQ(run.errors, 0) << run.Output();
  EXPECT_EQ(DbPages(quoted_), Pages({{"001", "It's O'Neil's"}}));
}

// orvstock on page workbooks: exit status 1 and the workbook byte for byte as it was whenever the
// work was not done.
TEST_P(TechDescEndToEndTest, HostDownloadsAndUploadsPageWorkbooks) {
  SetPages(item_, kFivePages);
  auto path = Sheet(3, item_, {});
  const std::string file = "'" + path.string() + "'";
  auto unchanged = [](const test::HostResult& result, const std::filesystem::path& workbook,
                      const std::string& before) {
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_EQ(test::ReadBytes(workbook), before) << result.output;
  };

  std::string before = test::ReadBytes(path);
  unchanged(Host("extract " + file), path, before);
  // A sheet that names no item keeps its rows rather than being emptied.
  auto nameless = Sheet(3, {item_.first, ""}, {{"1", "mine"}});
  const std::string nameless_before = test::ReadBytes(nameless);
  unchanged(Host("extract '" + nameless.string() + "' --all-pages"), nameless, nameless_before);
  auto run = Host("extract " + file + " --all-pages --at-cell B7");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr(kTooMany));
  EXPECT_EQ(SheetPages(path)[2].number, "001");
  run = Host("extract " + file + " --all-pages");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(SheetPages(path)[2].number, "003");

  // Edit row 1, break rows 2 and 3: the check names both and writes nothing; so does a failed or
  // unconfirmed upload.
  const std::string dump = Dump();
  {
    auto workbook = Workbook::Open(path);
    workbook->NamedRange("TEXT01")->Cells(1, 1).SetValue(Variant("edited"));
    workbook->NamedRange("PageNumber")->Cells(2, 1).SetValue(Variant(1000.0));
    workbook->NamedRange("TEXT02")->Cells(3, 1).SetValue(Variant(std::string(61, 'z')));
    workbook->Save();
  }
  before = test::ReadBytes(path);
  run = Host("upload " + file + " --check");
  unchanged(run, path, before);
  EXPECT_THAT(run.output, HasSubstr(fmt::format("sheet row {} (", kFirstSheetRow + 1)));
  EXPECT_THAT(run.output, HasSubstr(fmt::format("sheet row {} (", kFirstSheetRow + 2)));
  EXPECT_THAT(run.output,
              HasSubstr("Checked 3 pages: 2 failed; the upload would add 0 and update 1"));
  unchanged(Host("upload " + file + " --yes"), path, before);
  unchanged(Host("upload " + file), path, before);
  EXPECT_EQ(Dump(), dump);

  auto good = Sheet(3, item_, {{"1", "edited"}});
  run = Host("upload '" + good.string() + "' --check");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Dump(), dump);
  run = Host("upload '" + good.string() + "' --yes");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(DbPages(item_).at(0), MakePage({"001", "edited"}));

  auto no_pages = Sheet(3, item_, {}, {"Warehouse", "Product", "TEXT01"});
  before = test::ReadBytes(no_pages);
  run = Host("upload '" + no_pages.string() + "' --yes");
  EXPECT_THAT(run.output, HasSubstr("Page Number range must be present"));
  unchanged(run, no_pages, before);
}

TEST_P(TechDescEndToEndTest, BrowseOfTheItemCellsOffersItsPages) {
  SetPages(quoted_, {{"001", "O'Neil's first"}, {"002", "second"}});
  auto path = Sheet(3, item_, {{"5", "mine"}});
  const std::string before = test::ReadBytes(path);
  auto run = Host("browse '" + path.string() + "' --cell A6 --pick '01 X'");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Sorry! Stock Tech Desc browse not available for this cell"));
  EXPECT_EQ(test::ReadBytes(path), before);

  run = Host("--answer Yes browse '" + path.string() + "' --cell B2 --pick \"01 O'NEIL-7\"");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Download pages for this stock code?"));
  auto cells = test::ReadRanges(scratch_->Folder(), path);
  EXPECT_EQ(cells["Warehouse"].at(0).text, "01");
  EXPECT_EQ(cells["Product"].at(0).text, "O'NEIL-7");
  EXPECT_EQ(SheetPages(path), Pages({{"001", "O'Neil's first"}, {"002", "second"}, {"", ""}}));
}

INSTANTIATE_TEST_SUITE_P(Databases, TechDescEndToEndTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
