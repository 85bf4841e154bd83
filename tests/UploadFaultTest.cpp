// Database faults injected into an upload: whichever statement fails, and a failed commit, the
// run reports the error (naming the row it stopped at) and the company is left exactly as it was;
// or, where the failure is one the run gets round (a server's batch read ahead, whose rows are
// then read one by one), the run completes and the company is exactly as a run without a fault
// leaves it.

#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include "records/DemoDatabase.h"
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
  ASSERT_EQ(DownloadAll(path).errors, 0);
  test::EditForUpload(path, 16, 4);
  const std::string before = Dump();
  test::SheetEdit sheet(path);

  // A failed commit: the whole run is done, then nothing of it is kept.
  auto at_commit = std::make_shared<FaultPlan>(FaultPlan::FailFirst("commit"));
  auto run = UploadAll(path, at_commit);
  ASSERT_TRUE(at_commit->Fired());
  EXPECT_EQ(run.errors, 1) << run.Output();
  EXPECT_NE(run.Output().find("Injected fault: commit"), std::string::npos) << run.Output();
  EXPECT_EQ(test::FirstDifference(before, Dump()), "") << "after a failed commit";
  const long long operations = at_commit->Reached();

  // What a run without a fault leaves; then the company as it was again.
  run = UploadAll(path);
  ASSERT_EQ(run.errors, 0) << run.Output();
  const std::string after = Dump();
  ASSERT_NE(after, before);
  auto start_again = [&] {
    connection_.reset();
    DemoDatabase::Create(scratch_->Target(), {7, CompanyRows(), true});
    connection_ = std::make_shared<DataConnection>();
    connection_->Open(scratch_->Target(), "DEMO");
    ASSERT_EQ(test::FirstDifference(before, Dump()), "");
  };
  start_again();
  int got_round = 0;

  const std::uint32_t first_row = sheet.FirstRow("Product");
  std::uint32_t last_named = 0;
  std::set<std::uint32_t> named;
  for (long long k = 1; k < operations; ++k) {
    SCOPED_TRACE("operation " + std::to_string(k) + " of " + std::to_string(operations));
    auto faults = std::make_shared<FaultPlan>(FaultPlan::FailAt(k));
    run = UploadAll(path, faults);
    ASSERT_TRUE(faults->Fired());
    if (run.errors == 0) {
      ++got_round;
      ASSERT_EQ(test::FirstDifference(after, Dump()), "") << run.Output();
      start_again();
      continue;
    }
    EXPECT_EQ(run.errors, 1) << run.Output();
    EXPECT_NE(run.Output().find("Injected fault"), std::string::npos) << run.Output();
    ASSERT_EQ(test::FirstDifference(before, Dump()), "");
    // Once the rows are under way, the error names the row it stopped at, as the sheet holds it;
    // the rows are named in sheet order.
    if (auto where = test::FindNamedRow(run.Output(), "Upload stopped at ")) {
      const std::uint32_t row = where->sheet_row;
      ASSERT_GE(row, first_row);
      EXPECT_EQ(where->warehouse, sheet.Get("Warehouse", row - first_row + 1).ToText());
      EXPECT_EQ(where->product, sheet.Get("Product", row - first_row + 1).ToText());
      EXPECT_GE(row, last_named);
      last_named = row;
      named.insert(row);
    } else {
      EXPECT_EQ(last_named, 0u) << "a failure after the rows began names no row:\n" << run.Output();
    }
  }
  EXPECT_EQ(named.size(), 20u) << "every row fails once at some statement";
  // Only a server is read ahead: there each of the four record tables' batch can fail.
  EXPECT_EQ(got_round, GetParam() == test::Backend::PostgreSQL ? 4 : 0);
  std::cout << "[ faults   ] " << operations << " statements, begins and commits failed in turn; "
            << got_round << " got round\n";
}

INSTANTIATE_TEST_SUITE_P(Databases, UploadFaultTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
