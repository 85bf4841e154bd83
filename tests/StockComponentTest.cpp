#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "records/DemoDatabase.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/xlsx/Range.h"
#include "tests/ComponentRun.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

// The stock component as the host drives it, over two demo companies: A (version 7) is the
// default, B (version 6) is not.
class StockComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    companies_ = test::Profile().companies_file;
    DemoDatabase::CreateAndRegister(DatabaseTarget::Parse((folder_ / "a.db").string()),
                                    {7, 12, false}, companies_, "A");
    DemoDatabase::CreateAndRegister(DatabaseTarget::Parse((folder_ / "b.db").string()),
                                    {6, 5, false}, companies_, "B");
  }

  std::shared_ptr<Workbook> NewWorkbook(const std::vector<std::string>& picks, int rows) {
    test::StockWorkbook(folder_ / "stock.xlsx", picks, rows);
    return Workbook::Open(folder_ / "stock.xlsx");
  }

  ComPtr<_clsOrvStockEx> NewComponent(std::deque<std::string> answers) {
    scripted_ = std::make_unique<test::ScriptedSite>(std::move(answers));
    site_ = scripted_->site;
    auto component = test::Make<_clsOrvStockEx>(CLSID_clsOrvStockEx, IID_clsOrvStockExInterface);
    component->SetSite(site_);
    return component;
  }

  // Creates the component, hands it the workbook and lets it define its ranges.
  ComPtr<_clsOrvStockEx> Attach(const std::shared_ptr<Workbook>& workbook,
                                std::deque<std::string> answers = {}) {
    auto component = NewComponent(std::move(answers));
    site_->application = std::make_shared<Application>(workbook);
    component->putref_wkbActive(workbook);
    component->put_Index(1);
    component->AddRanges(*site_->application);
    return component;
  }

  static std::string Cell(Workbook& workbook, const char* name, std::uint32_t row) {
    return workbook.NamedRange(name)->Cells(row, 1).Text();
  }

  std::string Reported() const { return scripted_->notices.str(); }

  test::ScratchFolder folder_;
  std::filesystem::path companies_;
  std::unique_ptr<test::ScriptedSite> scripted_;
  std::shared_ptr<HostSite> site_;
};

TEST_F(StockComponentTest, TheErpVersionIsReadOncePerComponent) {
  auto workbook = NewWorkbook({"Warehouse", "Product"}, 5);
  auto component = Attach(workbook);
  ASSERT_EQ(site_->errors->ReportedCount(), 0) << Reported();
  // Were the version read again, the vanished company database would fail the next AddRanges.
  std::filesystem::remove(folder_ / "a.db");
  workbook->ActivateSheet(*workbook->Sheet(0));
  component->AddRanges(*site_->application);
  EXPECT_EQ(site_->errors->ReportedCount(), 0) << Reported();

  auto fresh = Attach(workbook);
  EXPECT_EQ(site_->errors->ReportedCount(), 1) << "a new component reads the version again";
  EXPECT_THAT(Reported(), HasSubstr("AddRanges of Class Module clsOrvStockEx"));
}

TEST_F(StockComponentTest, AFailedConnectionIsTriedAgainByTheNextAction) {
  auto workbook = NewWorkbook({"Warehouse", "Product", "Held?"}, 30);
  auto database = folder_ / "a.db";
  auto away = folder_ / "a.away";
  std::filesystem::rename(database, away);
  auto component = Attach(workbook, {"chkSelectRngs=0", "optAppend", "cmdOK"});
  ASSERT_EQ(site_->errors->ReportedCount(), 1) << "the company's database is not there";
  std::filesystem::rename(away, database);
  component->ExtractStock();
  component->CloseConnection();
  EXPECT_EQ(site_->errors->ReportedCount(), 1) << Reported();
  EXPECT_NE(Cell(*workbook, "Product", 12), "") << "company A has twelve records";
  EXPECT_NE(Cell(*workbook, "Held?", 1), "") << "the version-7 columns are written";
}

TEST_F(StockComponentTest, TheWorkbooksCompanyCellWinsOverTheRunsCompany) {
  auto workbook = NewWorkbook({"Warehouse", "Product", "sage_company"}, 30);
  workbook->NamedRange("sage_company")->SetValue(Variant("B"));
  auto component = NewComponent({"chkSelectRngs=0", "optAppend", "cmdOK"});
  site_->company = "A";
  component->SetSite(site_);
  site_->application = std::make_shared<Application>(workbook);
  component->putref_wkbActive(workbook);
  component->AddRanges(*site_->application);
  component->ExtractStock();
  component->CloseConnection();
  ASSERT_EQ(site_->errors->ReportedCount(), 0) << Reported();
  EXPECT_NE(Cell(*workbook, "Product", 5), "") << "company B has five records";
  EXPECT_EQ(Cell(*workbook, "Product", 6), "") << "company A's twelve must not be there";
}

}  // namespace
}  // namespace orv
