// Cancel changes nothing: every question and dialog of the download and the upload, answered
// Cancel or closed by its close box, leaves the company and the workbook byte for byte as they
// were, even when the upload had already written rows of its transaction.

#include <gtest/gtest.h>

#include "options/clsOrvStockExOptions.h"
#include "shell/_clsOrvStockEx.h"
#include "tests/StockRunFixture.h"
#include "tests/WorkbookFixtures.h"

namespace orv {
namespace {

struct CancelCase {
  const char* name;
  bool upload;
  // A cell put on the fifth row before the run, to raise a warning there: range and value.
  const char* range;
  const char* value;
  std::deque<std::string> answers;
};

const std::deque<std::string> kDownloadAll = {"chkSelectRngs=0",
                                              "txtWarehouseFrom=",
                                              "txtWarehouseTo=",
                                              "txtProdFrom=",
                                              "txtProdTo=",
                                              "optClear",
                                              "cmdOK"};

std::deque<std::string> Then(std::deque<std::string> first, const std::string& last) {
  first.push_back(last);
  return first;
}

const std::vector<CancelCase> kCases = {
    {"download dialog, Cancel", false, nullptr, nullptr, {"cmdCancel"}},
    {"download dialog, close box", false, nullptr, nullptr, {"close"}},
    {"cleardown question, Cancel", false, nullptr, nullptr, Then(kDownloadAll, "Cancel")},
    {"cleardown question, close box", false, nullptr, nullptr, Then(kDownloadAll, "close")},
    {"post confirmation, Cancel", true, nullptr, nullptr, {"cmdCancel"}},
    {"post confirmation, close box", true, nullptr, nullptr, {"close"}},
    // Two records updated, the third one's question cancelled.
    {"existing record, Cancel", true, nullptr, nullptr, {"cmdOk", "Update", "Update", "Cancel"}},
    {"existing record, close box", true, nullptr, nullptr, {"cmdOk", "Update", "Update", "close"}},
    {"stock G/L warning, Cancel",
     true,
     "AnalysisXRef",
     "S99",
     {"cmdOk", "UpdateAll", "cmdBtnCancel"}},
    {"stock G/L warning, close box", true, "AnalysisXRef", "S99", {"cmdOk", "UpdateAll", "close"}},
    {"purchase G/L warning, Cancel",
     true,
     "PurchaseKey",
     "P99",
     {"cmdOk", "UpdateAll", "cmdBtnCancel"}},
    {"purchase G/L warning, close box",
     true,
     "PurchaseKey",
     "P99",
     {"cmdOk", "UpdateAll", "close"}},
    {"buyer warning, Cancel", true, "BuyerId", "NOBODY", {"cmdOk", "UpdateAll", "cmdBtnCancel"}},
    {"buyer warning, close box", true, "BuyerId", "NOBODY", {"cmdOk", "UpdateAll", "close"}},
    {"product group dialog, Cancel",
     true,
     "AnalysisA",
     "NOGROUP",
     {"cmdOk", "UpdateAll", "cmdBtnCancel"}},
    {"product group dialog, close box",
     true,
     "AnalysisA",
     "NOGROUP",
     {"cmdOk", "UpdateAll", "close"}},
};

class CancelTest : public test::StockWorkbookTest {};

TEST_P(CancelTest, CancelOrTheCloseBoxChangesNothing) {
  // Existing records are asked about one by one.
  clsOrvStockExOptions options(SettingsStore(test::Profile().settings_file));
  options.SetWarn(true);
  options.SetDoNotAllow(false);
  options.SetAllowWOutWarn(false);
  options.SaveToRegistry();
  auto downloaded = Template(24);
  ASSERT_EQ(DownloadAll(downloaded).reported, 0);
  // Every row the upload reaches before the question changes a record.
  test::EditForUpload(downloaded, 20, 0);
  const std::string company = Dump();
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    auto path = scratch_->Folder() / "cancelled.xlsx";
    std::filesystem::copy_file(downloaded, path, std::filesystem::copy_options::overwrite_existing);
    if (c.range) {
      test::SheetEdit sheet(path);
      sheet.Set(c.range, 5, Variant(c.value));
      sheet.Save();
    }
    const std::string workbook = test::ReadBytes(path);
    auto run = Run(path, c.answers, [&](_clsOrvStockEx& stock) {
      if (c.upload)
        stock.UploadStock();
      else
        stock.ExtractStock();
    });
    EXPECT_EQ(run.unused_answers, 0u) << run.notices;
    if (c.upload) {
      EXPECT_GT(run.reported + run.failures, 0) << "an upload cancelled is not done";
    }
    EXPECT_EQ(test::FirstDifference(company, Dump()), "");
    EXPECT_TRUE(test::ReadBytes(path) == workbook) << run.notices;
  }
}

INSTANTIATE_TEST_SUITE_P(Databases, CancelTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
