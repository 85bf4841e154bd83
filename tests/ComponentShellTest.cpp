#include <gtest/gtest.h>

#include "shell/ComponentIdentity.h"
#include "shell/_clsOrvStockEx.h"
#include "techdesc/_clsSTTechDescEx.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using test::Make;

using test::ScriptedSite;

TEST(ComponentShell, IdentityMembersAnswerBeforeAnythingIsSet) {
  auto stock = Make<_clsOrvStockEx>(CLSID_clsOrvStockEx, IID_clsOrvStockExInterface);
  EXPECT_EQ(stock->ProgramName(), "OrvStockEx");
  EXPECT_EQ(stock->BrowseComponentName(), "OrvStockBrowse");
  EXPECT_FALSE(stock->AddBrowseWorkbookOpen());
  EXPECT_FALSE(stock->ViewStockAvailable());
  EXPECT_EQ(stock->ForceBrowseRange(), "");
  EXPECT_EQ(stock->OverrideBrowseSQL(), "");
  EXPECT_FALSE(stock->wkbActive());

  auto tech = Make<_clsSTTechDescEx>(CLSID_clsSTTechDescEx, IID_clsSTTechDescExInterface);
  EXPECT_EQ(tech->ProgramName(), "OrvStockTechDesc");
  EXPECT_EQ(tech->BrowseComponentName(), "OrvStockTechDescBrowse");
  EXPECT_FALSE(tech->AddBrowseWorkbookOpen());
}

TEST(ComponentShell, BrowseOverridesAreStoredAndReadBack) {
  auto stock = Make<_clsOrvStockEx>(CLSID_clsOrvStockEx, IID_clsOrvStockExInterface);
  stock->put_ForceBrowseRange("UnitCode");
  stock->put_BrowseListField("code");
  stock->put_OverrideBrowseSQL("select 1");
  stock->put_OverrideBrowseColumn("2");
  EXPECT_EQ(stock->ForceBrowseRange(), "UnitCode");
  EXPECT_EQ(stock->BrowseListField(), "code");
  EXPECT_EQ(stock->OverrideBrowseSQL(), "select 1");
  EXPECT_EQ(stock->OverrideBrowseColumn(), "2");
}

TEST(ComponentShell, VersionTexts) {
  auto stock = Make<_clsOrvStockEx>(CLSID_clsOrvStockEx, IID_clsOrvStockExInterface);
  std::string number = std::to_string(ORV_VERSION_MAJOR) + "." + std::to_string(ORV_VERSION_MINOR) +
                       "." + std::to_string(ORV_VERSION_PATCH);
  EXPECT_EQ(stock->VersionDescription(), "OrvStockExcel: " + number);
  std::string full = stock->FullVersionDescription();
  EXPECT_EQ(full.rfind("OrvStockExcel:" + number + "\r\n", 0), 0u) << full;
  EXPECT_EQ(full.find('\n'), full.find("\r\n") + 1) << "lines are joined by CR LF";
  EXPECT_NE(full.find("OrvData: "), std::string::npos);
  EXPECT_NE(full.find("OrvGeneral: "), std::string::npos);
}

TEST(ComponentShell, KeyStringIsTwelveLowerCaseLettersDigitsAndOneParenthesisPair) {
  std::string key = ComponentIdentity::kKeyString;
  ASSERT_EQ(key.size(), 12u);
  EXPECT_EQ(std::count(key.begin(), key.end(), '('), 1);
  EXPECT_EQ(std::count(key.begin(), key.end(), ')'), 1);
  EXPECT_LT(key.find('('), key.find(')'));
  for (char c : key)
    EXPECT_TRUE(std::islower(static_cast<unsigned char>(c)) ||
                std::isdigit(static_cast<unsigned char>(c)) || c == '(' || c == ')');
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
  EXPECT_NE(shown[0].find("ExtractStock of Class Module clsOrvStockEx Line#:10"), std::string::npos)
      << shown[0];
  EXPECT_NE(shown[1].find("ChangeOrvConnection of Class Module  clsOrvStockEx Line#:10"),
            std::string::npos)
      << shown[1];
}

TEST(ComponentShell, AboutShowsVersionAndProgramName) {
  ScriptedSite scripted;
  auto tech = Make<_clsSTTechDescEx>(CLSID_clsSTTechDescEx, IID_clsSTTechDescExInterface);
  tech->SetSite(scripted.site);
  tech->About();
  ASSERT_EQ(scripted.ui->Messages().size(), 1u);
  EXPECT_NE(scripted.ui->Messages()[0].find(tech->VersionDescription()), std::string::npos);
  EXPECT_NE(scripted.ui->Messages()[0].find("OrvStockTechDesc"), std::string::npos);
  EXPECT_EQ(scripted.site->errors->ReportedCount(), 0);
}

}  // namespace
}  // namespace orv
