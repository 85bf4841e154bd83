#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "records/DemoDatabase.h"
#include "shell/HostComponent.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/xlsx/MacroInstaller.h"
#include "shell/outside/xlsx/Range.h"
#include "tests/ComponentRun.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

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
      EXPECT_THAT(error.Source(),
                  HasSubstr("ValidateRanges of Class Module clsSTTechDescEx Line#:"));
    }
  }
  auto complete = NewWorkbook({"Warehouse", "Product", "PageNumber"});
  auto component = Attach(complete);
  XlsxRangeList list(complete);
  EXPECT_NO_THROW(component->ValidateRanges(list));
}

// Each component records itself as the workbook's owner when it adds its ranges, and adds its
// browse code and shortcut once, under its own name, and removes them again.
TEST(ComponentWorkbook, EachComponentRegistersItselfAndItsBrowseCodeUnderItsOwnName) {
  struct Case {
    CLSID clsid;
    const char* prog_id;
    std::string browse, other;
    bool pages;
  };
  const Case cases[] = {
      {CLSID_clsOrvStockEx, kStockProgId, "OrvStockBrowse", "OrvStockTechDescBrowse", false},
      {CLSID_clsSTTechDescEx, kTechDescProgId, "OrvStockTechDescBrowse", "OrvStockBrowse", true}};
  test::ScratchFolder folder;
  DemoDatabase::CreateAndRegister(DatabaseTarget::Parse((folder / "a.db").string()), {7, 3, false},
                                  test::Profile().companies_file, "A");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.prog_id);
    const auto path = folder / (std::string(c.prog_id) + ".xlsx");
    test::StockWorkbook(path, {"Warehouse", "Product", "PageNumber"}, 3, 7, "", c.pages);
    test::RunComponent<HostComponent>(
        c.clsid, IID_HostComponent, path, {}, [&](HostComponent& component, Workbook& workbook) {
          EXPECT_EQ(XlsxRangeList::OwnerProgId(workbook), c.prog_id);
          auto warehouse = *workbook.NamedRange("Warehouse");
          EXPECT_EQ(warehouse.RowCount() == 1, c.pages) << "a header cell for the pages";
          auto cell = warehouse.Cells(1, 1);
          EXPECT_TRUE(component.BrowseAvailable(cell));
          auto page = workbook.NamedRange("PageNumber")->Cells(2, 1);
          EXPECT_FALSE(component.BrowseAvailable(page));

          auto& document = workbook.Document();
          auto sheet = workbook.Sheet(0);
          bool remove = false;
          component.SpecialBrowseCode(sheet, remove);
          component.SpecialBrowseCode(sheet, remove);
          EXPECT_TRUE(document.CustomProperty(MacroInstaller::BrowseCodeProperty(c.browse)));
          auto shortcut = MacroInstaller::ShortcutProperty(c.browse + "ViewStock");
          ASSERT_TRUE(document.CustomProperty(shortcut));
          EXPECT_EQ(document.CustomProperty(shortcut)->rfind("View Stock", 0), 0u);
          EXPECT_FALSE(document.CustomProperty(MacroInstaller::BrowseCodeProperty(c.other)));
          remove = true;
          component.SpecialBrowseCode(sheet, remove);
          EXPECT_FALSE(document.CustomProperty(MacroInstaller::BrowseCodeProperty(c.browse)));
          EXPECT_FALSE(document.CustomProperty(shortcut));
        });
  }
}

}  // namespace
}  // namespace orv
