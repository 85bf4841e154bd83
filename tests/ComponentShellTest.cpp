#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/ComponentIdentity.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/db/DataConnection.h"
#include "techdesc/_clsSTTechDescEx.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::Make;
using test::ScriptedSite;

TEST(ComponentShell, IdentityAndVersionAnswerBeforeAnythingIsSet) {
  auto stock = Make<_clsOrvStockEx>(CLSID_clsOrvStockEx, IID_clsOrvStockExInterface);
  EXPECT_EQ(stock->BrowseComponentName(), "OrvStockBrowse");
  EXPECT_FALSE(stock->AddBrowseWorkbookOpen());
  EXPECT_FALSE(stock->ViewStockAvailable());
  EXPECT_FALSE(stock->wkbActive());
  auto tech = Make<_clsSTTechDescEx>(CLSID_clsSTTechDescEx, IID_clsSTTechDescExInterface);
  EXPECT_EQ(tech->BrowseComponentName(), "OrvStockTechDescBrowse");

  std::string number = std::to_string(ORV_VERSION_MAJOR) + "." + std::to_string(ORV_VERSION_MINOR) +
                       "." + std::to_string(ORV_VERSION_PATCH);
  EXPECT_EQ(stock->VersionDescription(), "OrvStockExcel: " + number);
  std::string full = stock->FullVersionDescription();
  EXPECT_EQ(full.rfind("OrvStockExcel:" + number + "\r\n", 0), 0u) << full;
  EXPECT_EQ(full.find('\n'), full.find("\r\n") + 1) << "lines are joined by CR LF";
  EXPECT_TRUE(test::Contains(full, "OrvData: ") && test::Contains(full, "OrvGeneral: ")) << full;
  EXPECT_NO_THROW(DataConnection().SetKeyString(ComponentIdentity::kKeyString))
      << "the key the components hand the connection is one it takes";
}

TEST(ComponentShell, HandledMembersReportTheirErrorsWithTheirTagAndReturn) {
  ScriptedSite scripted;
  auto stock = Make<_clsOrvStockEx>(CLSID_clsOrvStockEx, IID_clsOrvStockExInterface);
  stock->SetSite(scripted.site);
  stock->ExtractStock();
  EXPECT_FALSE(stock->ChangeOrvConnection());
  ASSERT_EQ(scripted.site->errors->ReportedCount(), 2);
  const auto& shown = scripted.ui->Messages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_THAT(shown[0], HasSubstr("ExtractStock of Class Module clsOrvStockEx Line#:10"));
  EXPECT_THAT(shown[1], HasSubstr("ChangeOrvConnection of Class Module  clsOrvStockEx Line#:10"));

  ScriptedSite about;
  auto tech = Make<_clsSTTechDescEx>(CLSID_clsSTTechDescEx, IID_clsSTTechDescExInterface);
  tech->SetSite(about.site);
  tech->About();
  ASSERT_EQ(about.ui->Messages().size(), 1u);
  EXPECT_THAT(about.ui->Messages()[0], HasSubstr(tech->VersionDescription()));
  EXPECT_THAT(about.ui->Messages()[0], HasSubstr("OrvStockTechDesc"));
  EXPECT_EQ(about.site->errors->ReportedCount(), 0);
}

}  // namespace
}  // namespace orv
