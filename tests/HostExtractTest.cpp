// `orvstock extract` through the real executable, on a demo company in a SQLite file.

#include <fcntl.h>
#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <string>

#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "tests/DatabaseFixture.h"
#include "tests/HostRunner.h"
#include "tests/RangeDump.h"
#include "tests/WorkbookFixtures.h"

namespace orv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using test::RunHost;

class HostExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto demo = RunHost(Config() + " demo-db '" + database_.string() + "' --rows 20");
    ASSERT_EQ(demo.status, 0) << demo.output;
    auto made = RunHost("template '" + workbook_.string() +
                        "' Warehouse Product Description PhysicalQty --rows 30");
    ASSERT_EQ(made.status, 0) << made.output;
  }

  std::string Config() const { return "--config '" + companies_.string() + "'"; }

  test::ScratchFolder folder_;
  std::filesystem::path database_ = folder_ / "demo.db";
  std::filesystem::path companies_ = folder_ / "companies.toml";
  std::filesystem::path workbook_ = folder_ / "stock.xlsx";
};

// Each run says how many records it wrote to which rows; a choice the user gives empty, or --all,
// forgets the remembered one, and a first product alone takes that product only.
TEST_F(HostExtractTest, SelectionFlagsPickTheRecordsAndAnEmptyChoiceForgetsTheLastOne) {
  DataConnection connection;
  connection.Open(DatabaseTarget::SQLiteFile(database_.string()), "DEMO");
  std::vector<std::string> products;
  Recordset records;
  records.Open("select distinct product from " + connection.TableCatalogue().StockMaster() +
                   " order by product",
               connection.AdoConnection());
  for (; !records.Eof(); records.MoveNext()) products.push_back(records.Fields("product").ToText());
  records.Close();
  ASSERT_GE(products.size(), 5u);
  struct Step {
    std::string flags, where;
    int first_row;
  };
  const Step steps[] = {
      {"--from-warehouse 02 --to-warehouse 03 --clear", "warehouse in ('02', '03')", 1},
      // The last warehouse given is remembered, so it is given again.
      {"--from-warehouse 01 --to-warehouse 01 --append", "warehouse = '01'", 11},
      {"--all --clear", "", 1},
      {"--from-product " + products[1] + " --to-product " + products[4] + " --clear",
       "product >= '" + products[1] + "' and product <= '" + products[4] + "'", 1},
      {"--from-product " + products[2] + " --clear", "product = '" + products[2] + "'", 1},
      {"--from-warehouse 02 --from-product NUT-M6-0002 --clear",
       "warehouse = '02' and product = 'NUT-M6-0002'", 1},
      {"--from-warehouse 02 --from-product '' --clear", "warehouse = '02'", 1},
      {"--all --clear", "", 1}};
  for (const auto& step : steps) {
    auto run = RunHost(Config() + " extract '" + workbook_.string() + "' " + step.flags);
    ASSERT_EQ(run.status, 0) << step.flags << "\n" << run.output;
    const auto keys = test::StockKeys(connection, step.where);
    ASSERT_FALSE(keys.empty()) << step.where;
    const int last = step.first_row + static_cast<int>(keys.size()) - 1;
    EXPECT_THAT(run.output, HasSubstr(fmt::format("{} stock records written to rows {} to {}",
                                                  keys.size(), step.first_row, last)))
        << step.flags;
    if (step.first_row == 1) continue;
    auto cells = test::ReadRanges(folder_.Path(), workbook_);
    auto sheet = test::StockKeys(connection, steps[0].where);
    sheet.insert(sheet.end(), keys.begin(), keys.end());
    ASSERT_EQ(sheet.size(), 20u);
    for (std::size_t i = 0; i < 20; ++i) {
      const auto& key = sheet[i];
      EXPECT_EQ(cells["Warehouse"][i].text, key.first) << "row " << i + 1;
      EXPECT_EQ(cells["Product"][i].text, key.second) << "row " << i + 1;
    }
    EXPECT_TRUE(cells["Product"][20].Empty());
  }
  EXPECT_EQ(
      RunHost(Config() + " extract '" + workbook_.string() + "' --all --from-warehouse 01").status,
      2)
      << "--all takes no filter";
}

// Stores `value` (an SQL expression) in `column` of one stock record of the demo company.
void Spoil(const std::filesystem::path& database, const std::string& product,
           const std::string& column, const std::string& value) {
  DataConnection connection;
  connection.Open(DatabaseTarget::SQLiteFile(database.string()), "DEMO");
  connection.AdoConnection()->Execute("update " + connection.TableCatalogue().StockMaster() +
                                          " set " + column + " = " + value + " where product = ?",
                                      {Variant(product)});
}

TEST_F(HostExtractTest, TextThatIsNotValidXmlIsRepairedAndNamedWithItsRecord) {
  // Invalid UTF-8, a noncharacter XML cannot hold and an encoded surrogate.
  Spoil(database_, "NUT-M6-0002", "description", "cast(x'41fffe42efbfbe43eda08044' as text)");
  auto run = RunHost(Config() + " extract '" + workbook_.string() + "' --clear");
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("NUT-M6-0002"));
  EXPECT_THAT(run.output, HasSubstr("Description"));
  // The product is stocked in two warehouses.
  EXPECT_THAT(run.output,
              HasSubstr("20 stock records written to rows 1 to 20 (2 with text repaired"));
  auto read = test::RunPython(folder_.Path(),
                              "wb = openpyxl.load_workbook(r'''" + workbook_.string() + R"PY(''')
print(ascii([c.value for row in wb.active.iter_rows() for c in row
             if isinstance(c.value, str) and "\ufffd" in c.value]))
)PY");
  const std::string repaired = "'A\\ufffd\\ufffdB\\ufffdC\\ufffd\\ufffd\\ufffdD'";
  EXPECT_EQ(read, "[" + repaired + ", " + repaired + "]\n");
}

TEST_F(HostExtractTest, AValueTheColumnCannotHoldIsAnErrorNamingRecordAndColumn) {
  auto book = folder_ / "weights.xlsx";
  ASSERT_EQ(RunHost("template '" + book.string() + "' Warehouse Product Weight IssueDate").status,
            0);
  const std::string before = test::ReadBytes(book);
  const auto clean = folder_ / "clean.db";
  std::filesystem::copy_file(database_, clean);
  for (const auto& [column, value] : std::vector<std::pair<std::string, std::string>>{
           {"weight", "'abc'"}, {"issue_date", "'2024-02-30'"}, {"issue_date", "'garbage'"}}) {
    std::filesystem::copy_file(clean, database_, std::filesystem::copy_options::overwrite_existing);
    Spoil(database_, "NUT-M6-0002", column, value);
    auto run = RunHost(Config() + " extract '" + book.string() + "' --clear");
    EXPECT_EQ(run.status, 1) << value << "\n" << run.output;
    EXPECT_THAT(run.output, HasSubstr("NUT-M6-0002")) << value;
    EXPECT_THAT(run.output, HasSubstr(column)) << value;
    EXPECT_TRUE(test::ReadBytes(book) == before) << value;
  }
}

TEST_F(HostExtractTest, AWorkbookTheUserMayNotWriteIsRefusedBeforeTheDownload) {
  ::chmod(workbook_.c_str(), 0444);
  const std::string before = test::ReadBytes(workbook_);
  // The check asks the system, as the user: root may write anything, so run as nobody.
  std::string prefix;
  if (::geteuid() == 0) {
    // Nobody gets a profile of its own inside the test's folder, which it may read.
    std::filesystem::create_directories(folder_ / "nobody");
    std::filesystem::permissions(folder_.Path(), std::filesystem::perms::all);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.Path()))
      ASSERT_EQ(::lchown(entry.path().c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(folder_.Path().c_str(), 65534, 65534), 0);
    prefix = "runuser -u nobody -- env ORVSTOCK_CONFIG_DIR='" + (folder_ / "nobody").string() + "'";
  }
  auto run = RunHost(Config() + " extract '" + workbook_.string() + "' --clear", prefix);
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr("read-only"));
  EXPECT_THAT(run.output, Not(HasSubstr("stock records written")));
  EXPECT_TRUE(test::ReadBytes(workbook_) == before);
}

TEST_F(HostExtractTest, ASecondRunOnTheSameWorkbookIsRefusedWhileTheFirstHoldsIt) {
  auto lock_path = folder_ / (".~orvstock-lock." + workbook_.filename().string());
  const std::string before = test::ReadBytes(workbook_);
  {
    int lock = ::open(lock_path.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    auto second = RunHost(Config() + " extract '" + workbook_.string() + "' --append");
    EXPECT_EQ(second.status, 1) << second.output;
    EXPECT_THAT(second.output, HasSubstr("in use by another orvstock run"));
    EXPECT_TRUE(test::ReadBytes(workbook_) == before);
    ::close(lock);
  }
  auto after = RunHost(Config() + " extract '" + workbook_.string() + "' --append");
  EXPECT_EQ(after.status, 0) << after.output;
  EXPECT_FALSE(std::filesystem::exists(lock_path)) << "the lock goes with its run";
}

// A small file system of its own (root only), removed afterwards.
class SmallDisk {
 public:
  explicit SmallDisk(const std::filesystem::path& where) : where_(where) {
    std::filesystem::create_directory(where_);
    mounted_ =
        ::geteuid() == 0 &&
        std::system(
            ("mount -t tmpfs -o size=256k tmpfs '" + where_.string() + "' 2>/dev/null").c_str()) ==
            0;
  }
  ~SmallDisk() {
    if (mounted_) std::system(("umount '" + where_.string() + "'").c_str());
  }
  bool Mounted() const { return mounted_; }

 private:
  std::filesystem::path where_;
  bool mounted_ = false;
};

TEST_F(HostExtractTest, AFullDiskIsSaidSoAndNothingIsClaimedWritten) {
  SmallDisk disk(folder_ / "small");
  if (!disk.Mounted()) GTEST_SKIP() << "needs root to mount a small file system";
  auto book = folder_ / "small" / "stock.xlsx";
  std::filesystem::copy_file(workbook_, book);
  // Fill the disk, then free a little less than a copy of the workbook needs.
  auto filler = folder_ / "small" / "filler";
  {
    std::ofstream out(filler, std::ios::binary);
    std::string block(4096, 'x');
    while (out.write(block.data(), std::ssize(block))) {
    }
  }
  std::filesystem::resize_file(
      filler, std::filesystem::file_size(filler) - std::filesystem::file_size(book) / 2);
  const std::string before = test::ReadBytes(book);
  auto run = RunHost(Config() + " extract '" + book.string() + "' --clear");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr("disk is full"));
  EXPECT_THAT(run.output, Not(HasSubstr("stock records written")));
  EXPECT_TRUE(test::ReadBytes(book) == before);
  std::string left;
  for (const auto& entry : std::filesystem::directory_iterator(folder_ / "small"))
    left += entry.path().filename().string() + " ";
  EXPECT_EQ(left.size(), std::string("stock.xlsx filler ").size()) << left;
}

TEST_F(HostExtractTest, AWorkbookWithoutTheRangesOrWithAProtectedSheetIsLeftAlone) {
  for (const auto& [name, python, said] : std::vector<std::array<std::string, 3>>{
           {"plain.xlsx", "wb = openpyxl.Workbook()\nwb.active['A1'] = 'my own notes'\n",
            "none of the stock ranges"},
           {"guarded.xlsx",
            "wb = openpyxl.load_workbook(r'''" + workbook_.string() +
                "''')\nwb.active.protection.sheet = True\n",
            "is protected"}}) {
    auto book = folder_ / name;
    test::RunPython(folder_.Path(), python + "wb.save(r'''" + book.string() + "''')\n");
    const std::string before = test::ReadBytes(book);
    auto run = RunHost(Config() + " extract '" + book.string() + "' --clear");
    EXPECT_EQ(run.status, 1) << name << "\n" << run.output;
    EXPECT_THAT(run.output, HasSubstr(said)) << name;
    EXPECT_THAT(run.output, Not(HasSubstr("too many rows"))) << name;
    EXPECT_TRUE(test::ReadBytes(book) == before) << name;
  }
}

TEST_F(HostExtractTest, BadWorkbookOrUnknownCompanyExitsOneAndLeavesTheFileAsItWas) {
  const std::string before = test::ReadBytes(workbook_);
  auto missing = RunHost(Config() + " extract '" + (folder_ / "none.xlsx").string() + "' --clear");
  EXPECT_EQ(missing.status, 1) << missing.output;
  EXPECT_FALSE(std::filesystem::exists(folder_ / "none.xlsx"));

  auto garbage = folder_ / "garbage.xlsx";
  test::WriteBytes(garbage, "this is not a workbook");
  auto broken = RunHost(Config() + " extract '" + garbage.string() + "' --clear");
  EXPECT_EQ(broken.status, 1) << broken.output;
  EXPECT_EQ(test::ReadBytes(garbage), "this is not a workbook");

  auto unknown = RunHost(Config() + " --company NOSUCH extract '" + workbook_.string() +
                         "' --from-warehouse 01 --clear");
  EXPECT_EQ(unknown.status, 1) << unknown.output;
  EXPECT_THAT(unknown.output, HasSubstr("NOSUCH"));
  EXPECT_EQ(test::ReadBytes(workbook_), before) << "the workbook is not rewritten";

  auto outside = RunHost(Config() + " extract '" + workbook_.string() +
                         "' --from-warehouse 01 --at-cell Z900");
  EXPECT_EQ(outside.status, 1) << outside.output;
  EXPECT_THAT(outside.output, HasSubstr("$Z$900"));
  EXPECT_EQ(test::ReadBytes(workbook_), before) << "a start cell outside the ranges";
}

TEST_F(HostExtractTest, ARefreshWithAFailedRowKeepsTheOthersAndExits1) {
  auto made = RunHost("template --replace '" + workbook_.string() +
                      "' Warehouse Product Description PageNumber --rows 30");
  ASSERT_EQ(made.status, 0) << made.output;
  ASSERT_EQ(RunHost(Config() + " extract '" + workbook_.string() +
                    "' --from-warehouse 01 --to-warehouse 01 --clear")
                .status,
            0);
  {
    auto workbook = Workbook::Open(workbook_);
    XlsxRangeList list(workbook);
    list.SetCellValue("Description", "stale", 1);
    list.SetCellValue("PageNumber", "abc", 2);
    workbook->Save();
  }
  auto run = RunHost(Config() + " extract '" + workbook_.string() + "' --only-sheet-rows");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr(", 1 failed"));
  auto cells = test::ReadRanges(folder_.Path(), workbook_);
  EXPECT_NE(cells["Description"][0].text, "stale") << "the rows refreshed are saved";
  EXPECT_EQ(cells["PageNumber"][1].text, "abc");
}

}  // namespace
}  // namespace orv
