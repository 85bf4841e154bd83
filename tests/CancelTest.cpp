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

// A question of the download or the upload, reached by `answers`; `refusal` answers it with
// Cancel.
struct CancelCase {
  const char* name;
  bool upload;
  // A cell put on the fifth row before the run, to raise a warning there: range and value.
  const char* range;
  const char* value;
  std::deque<std::string> answers;
  const char* refusal;
};

const std::deque<std::string> kDownloadAll = {"chkSelectRngs=0",
                                              "txtWarehouseFrom=",
                                              "txtWarehouseTo=",
                                              "txtProdFrom=",
                                              "txtProdTo=",
                                              "optClear",
                                              "cmdOK"};
const std::deque<std::string> kWarning = {"cmdOk", "UpdateAll"};

// Each question is answered Cancel, and closed by its close box.
const std::vector<CancelCase> kCases = {
    {"download dialog", false, nullptr, nullptr, {}, "cmdCancel"},
    {"cleardown question", false, nullptr, nullptr, kDownloadAll, "Cancel"},
    {"post confirmation", true, nullptr, nullptr, {}, "cmdCancel"},
    // Two records updated, the third one's question cancelled.
    {"existing record", true, nullptr, nullptr, {"cmdOk", "Update", "Update"}, "Cancel"},
    {"stock G/L warning", true, "AnalysisXRef", "S99", kWarning, "cmdBtnCancel"},
    {"purchase G/L warning", true, "PurchaseKey", "P99", kWarning, "cmdBtnCancel"},
    {"buyer warning", true, "BuyerId", "NOBODY", kWarning, "cmdBtnCancel"},
    {"product group dialog", true, "AnalysisA", "NOGROUP", kWarning, "cmdBtnCancel"},
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
  ASSERT_EQ(DownloadAll(downloaded).errors, 0);
  // Every row the upload reaches before the question changes a record.
  test::EditForUpload(downloaded, 20, 0);
  const std::string company = Dump();
  for (const auto& c : kCases)
    for (const std::string last : {c.refusal, "close"}) {
      SCOPED_TRACE(std::string(c.name) + ", " + last);
      auto answers = c.answers;
      answers.push_back(last);
      auto path = scratch_->Folder() / "cancelled.xlsx";
      std::filesystem::copy_file(downloaded, path,
                                 std::filesystem::copy_options::overwrite_existing);
      if (c.range) {
        test::SheetEdit sheet(path);
        sheet.Set(c.range, 5, Variant(c.value));
        sheet.Save();
      }
      const std::string workbook = test::ReadBytes(path);
      auto run = Run(path, answers, [&](_clsOrvStockEx& stock) {
        if (c.upload)
          stock.UploadStock();
        else
          stock.ExtractStock();
      });
      EXPECT_EQ(run.unused_answers, 0u) << run.Output();
      if (c.upload) {
        EXPECT_GT(run.errors + run.failures, 0) << "an upload cancelled is not done";
      }
      EXPECT_EQ(test::FirstDifference(company, Dump()), "");
      EXPECT_TRUE(test::ReadBytes(path) == workbook) << run.Output();
    }
}

INSTANTIATE_TEST_SUITE_P(Databases, CancelTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
