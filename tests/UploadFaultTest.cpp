// Database faults injected into an upload: whichever statement fails, and a failed commit, the
// run reports the error (naming the row it stopped at) and the company is left exactly as it was.

#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include "shell/_clsOrvStockEx.h"
#include "tests/StockRunFixture.h"

namespace orv {
namespace {

class UploadFaultTest : public test::StockWorkbookTest {
 protected:
  // 16 records on file and 4 new ones: an upload of 20 rows.
  int CompanyRows() const override { return 16; }
};

TEST_P(UploadFaultTest, EveryFailedStatementLeavesTheCompanyAsItWas) {
  auto path = Template(24);
  ASSERT_EQ(DownloadAll(path).reported, 0);
  test::EditForUpload(path, 16, 4);
  const std::string before = Dump();
  test::SheetEdit sheet(path);

  // A failed commit: the whole run is done, then nothing of it is kept.
  auto at_commit = std::make_shared<FaultPlan>(FaultPlan::FailFirst("commit"));
  auto run = UploadAll(path, at_commit);
  ASSERT_TRUE(at_commit->Fired());
  EXPECT_EQ(run.reported, 1) << run.notices;
  EXPECT_NE(run.notices.find("Injected fault: commit"), std::string::npos) << run.notices;
  EXPECT_EQ(test::FirstDifference(before, Dump()), "") << "after a failed commit";
  const long long operations = at_commit->Reached();

  const std::uint32_t first_row = sheet.FirstRow("Product");
  std::uint32_t last_named = 0;
  std::set<std::uint32_t> named;
  for (long long k = 1; k < operations; ++k) {
    SCOPED_TRACE("operation " + std::to_string(k) + " of " + std::to_string(operations));
    auto faults = std::make_shared<FaultPlan>(FaultPlan::FailAt(k));
    run = UploadAll(path, faults);
    ASSERT_TRUE(faults->Fired());
    EXPECT_EQ(run.reported, 1) << run.notices;
    EXPECT_NE(run.notices.find("Injected fault"), std::string::npos) << run.notices;
    EXPECT_FALSE(run.saved);
    ASSERT_EQ(test::FirstDifference(before, Dump()), "");
    // Once the rows are under way, the error names the row it stopped at, as the sheet holds it;
    // the rows are named in sheet order.
    if (auto where = test::FindNamedRow(run.notices, "Upload stopped at ")) {
      const std::uint32_t row = where->sheet_row;
      ASSERT_GE(row, first_row);
      EXPECT_EQ(where->warehouse, sheet.Get("Warehouse", row - first_row + 1).ToText());
      EXPECT_EQ(where->product, sheet.Get("Product", row - first_row + 1).ToText());
      EXPECT_GE(row, last_named);
      last_named = row;
      named.insert(row);
    } else {
      EXPECT_EQ(last_named, 0u) << "a failure after the rows began names no row:\n" << run.notices;
    }
  }
  EXPECT_EQ(named.size(), 20u) << "every row fails once at some statement";

  // Without a fault the same upload changes the company.
  run = UploadAll(path);
  EXPECT_EQ(run.reported, 0) << run.notices;
  EXPECT_NE(Dump(), before);
  std::cout << "[ faults   ] " << operations << " statements, begins and commits failed in turn\n";
}

INSTANTIATE_TEST_SUITE_P(Databases, UploadFaultTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
