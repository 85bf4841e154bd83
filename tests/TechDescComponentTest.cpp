#include <gtest/gtest.h>

#include "shell/outside/xlsx/MacroInstaller.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "tests/ComponentRun.h"

namespace orv {
namespace {

class TechDescComponentTest : public ::testing::Test {
 protected:
  // A technical description workbook holding the picked ranges of the component's catalogue.
  std::shared_ptr<Workbook> NewWorkbook(const std::vector<std::string>& picks) {
    test::PageWorkbook(folder_ / "pages.xlsx", picks, 4);
    return Workbook::Open(folder_ / "pages.xlsx");
  }

  ComPtr<_clsSTTechDescEx> Attach(const std::shared_ptr<Workbook>& workbook) {
    scripted_.site->application = std::make_shared<Application>(workbook);
    auto component =
        test::Make<_clsSTTechDescEx>(CLSID_clsSTTechDescEx, IID_clsSTTechDescExInterface);
    component->SetSite(scripted_.site);
    component->putref_wkbActive(workbook);
    component->AddRanges(*scripted_.site->application);
    return component;
  }

  test::ScratchFolder folder_;
  test::ScriptedSite scripted_;
};

TEST_F(TechDescComponentTest, AddRangesDefinesHeaderCellsAndRegistersTheComponent) {
  auto workbook = NewWorkbook({});
  auto component = Attach(workbook);
  EXPECT_EQ(scripted_.site->errors->ReportedCount(), 0) << scripted_.notices.str();
  EXPECT_EQ(XlsxRangeList::OwnerProgId(*workbook), kTechDescProgId);
  auto warehouse = workbook->NamedRange("Warehouse");
  ASSERT_TRUE(warehouse);
  EXPECT_EQ(warehouse->RowCount(), 1u) << "warehouse is a single header cell";

  auto cell = warehouse->Cells(1, 1);
  EXPECT_TRUE(component->BrowseAvailable(cell));
  auto page = workbook->NamedRange("PageNumber")->Cells(2, 1);
  EXPECT_FALSE(component->BrowseAvailable(page));
}

TEST_F(TechDescComponentTest, BrowseCodeIsRegisteredUnderItsOwnName) {
  auto workbook = NewWorkbook({});
  auto component = Attach(workbook);
  auto sheet = workbook->Sheet(0);
  bool remove = false;
  component->SpecialBrowseCode(sheet, remove);
  const auto browse = MacroInstaller::BrowseCodeProperty("OrvStockTechDescBrowse");
  const auto shortcut = MacroInstaller::ShortcutProperty("OrvStockTechDescBrowseViewStock");
  EXPECT_TRUE(workbook->Document().CustomProperty(browse));
  EXPECT_TRUE(workbook->Document().CustomProperty(shortcut));
  EXPECT_FALSE(
      workbook->Document().CustomProperty(MacroInstaller::BrowseCodeProperty("OrvStockBrowse")));
  remove = true;
  component->SpecialBrowseCode(sheet, remove);
  EXPECT_FALSE(workbook->Document().CustomProperty(browse));
  EXPECT_FALSE(workbook->Document().CustomProperty(shortcut));
}

TEST_F(TechDescComponentTest, ValidateRangesNamesTheFirstMissingRange) {
  struct Case {
    std::vector<std::string> picks;
    const char* message;
  };
  const Case cases[] = {
      {{"Product", "PageNumber"}, "Warehouse range must be present"},
      {{"Warehouse", "PageNumber"}, "Product range must be present"},
      {{"Warehouse", "Product", "TEXT01"}, "Page Number range must be present"},
  };
  for (const auto& c : cases) {
    auto workbook = NewWorkbook(c.picks);
    auto component = Attach(workbook);
    XlsxRangeList list(workbook);
    try {
      component->ValidateRanges(list);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const AppError& error) {
      EXPECT_EQ(error.Number(), vbObjectError);
      EXPECT_EQ(error.Description(), c.message);
      EXPECT_NE(error.Source().find("ValidateRanges of Class Module clsSTTechDescEx Line#:"),
                std::string::npos);
    }
  }
  auto complete = NewWorkbook({"Warehouse", "Product", "PageNumber"});
  auto component = Attach(complete);
  XlsxRangeList list(complete);
  EXPECT_NO_THROW(component->ValidateRanges(list));
}

}  // namespace
}  // namespace orv
