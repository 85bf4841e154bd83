// The download dialog's load rules and remembered choices, driven by scripted actions.

#include <gtest/gtest.h>

#include <sstream>

#include "download/frmExtractStock.h"
#include "options/clsOrvStockExOptions.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/ui/DialogHost.h"
#include "shell/outside/ui/ScriptedUI.h"
#include "tests/DatabaseFixture.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

// The options over the test profile's settings file.
std::shared_ptr<clsOrvStockExOptions> ProfileOptions() {
  return std::make_shared<clsOrvStockExOptions>(SettingsStore(test::Profile().settings_file));
}

// Saves the dropdown option and the download choices that a dialog loads from the settings.
void Save(bool dropdowns, bool only_sheet_rows = false) {
  auto options = ProfileOptions();
  options->SetShowDropdowns(dropdowns);
  options->SaveToRegistry();
  options->SetOnlySelectedRanges(only_sheet_rows);
  options->SaveSRToRegistry();
}

// Shows a fresh dialog answered by `actions`; the dialog is returned for its results.
std::unique_ptr<frmExtractStock> Answer(std::deque<std::string> actions,
                                        std::shared_ptr<DataConnection> connection = nullptr) {
  auto dialog = std::make_unique<frmExtractStock>();
  dialog->SetOptions(ProfileOptions());
  if (connection) dialog->SetSageConnection(std::move(connection));
  std::ostringstream notices, summary;
  ScriptedUI ui(std::move(actions), notices, summary);
  ui.ShowModal(*dialog);
  return dialog;
}

class ExtractDialogTest : public ::testing::Test {
 protected:
  bool Shown(const frmExtractStock& dialog, const char* name) {
    const Control* control = dialog.Find(name);
    EXPECT_NE(control, nullptr) << name;
    return control && dialog.IsShown(*control);
  }
};

TEST_F(ExtractDialogTest, NoSavedPlacementSelectsClearAndTheChosenOneIsRemembered) {
  auto first = Answer({"cmdOK"});
  EXPECT_FALSE(first->Cancelled());
  EXPECT_TRUE(first->ClearDownload());
  EXPECT_FALSE(first->AppendBottom());
  EXPECT_FALSE(first->AppendCurrent());

  auto appended = Answer({"optAppend", "cmdOK"});
  EXPECT_TRUE(appended->AppendBottom());
  auto next = Answer({"cmdOK"});
  EXPECT_FALSE(next->ClearDownload());
  EXPECT_TRUE(next->AppendBottom()) << "the last placement is the next default";

  auto cancelled = Answer({"optAppendCurrent", "cmdCancel"});
  EXPECT_TRUE(cancelled->Cancelled());
  EXPECT_TRUE(Answer({"cmdOK"})->AppendBottom()) << "a cancelled dialog saves nothing";
  EXPECT_TRUE(Answer({"close"})->Cancelled());
}

TEST_F(ExtractDialogTest, TickingTheBoxHidesRangesAndPlacementUntickingShowsTheEntryMode) {
  Save(false);
  frmExtractStock dialog;
  dialog.SetOptions(ProfileOptions());
  dialog.Show();
  dialog.Form_Load();
  EXPECT_TRUE(Shown(dialog, "txtWarehouseFrom"));
  EXPECT_TRUE(Shown(dialog, "frameProdText"));
  EXPECT_FALSE(Shown(dialog, "frameWarehouse"));
  EXPECT_FALSE(Shown(dialog, "STPRComboStart"));
  EXPECT_TRUE(Shown(dialog, "optAppend"));

  DialogHost::Apply(dialog, "chkSelectRngs=1");
  EXPECT_TRUE(dialog.IsSelectRngsChk());
  for (const char* hidden :
       {"frameWHText", "frameProdText", "txtProdTo", "frameWarehouse", "frameProduct", "frmRanges",
        "optClear", "optAppend", "optAppendCurrent"})
    EXPECT_FALSE(Shown(dialog, hidden)) << hidden;
  EXPECT_THROW(DialogHost::Apply(dialog, "optAppend"), AppError)
      << "hidden controls take no action";

  DialogHost::Apply(dialog, "chkSelectRngs=0");
  EXPECT_FALSE(dialog.IsSelectRngsChk());
  for (const char* shown :
       {"frameWHText", "frameProdText", "frmRanges", "optClear", "optAppend", "optAppendCurrent"})
    EXPECT_TRUE(Shown(dialog, shown)) << shown;
  EXPECT_FALSE(Shown(dialog, "frameWarehouse"));
}

TEST_F(ExtractDialogTest, SavedTickedBoxOpensWithoutQueryingTheDatabase) {
  // A connection that was never opened: any list query fails.
  auto unopened = std::make_shared<DataConnection>();
  Save(true, true);
  std::unique_ptr<frmExtractStock> dialog;
  EXPECT_NO_THROW(dialog = Answer({"cmdOK"}, unopened));
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(dialog->IsSelectRngsChk());
  EXPECT_FALSE(dialog->Cancelled());
  const auto* list = dynamic_cast<const ComboBox*>(dialog->Find("STWHComboStart"));
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->Rows().empty());

  Save(true, false);
  EXPECT_THROW(Answer({"cmdOK"}, unopened), AppError) << "unticked, the lists are read";
}

class ExtractDialogListsTest : public test::DatabaseTest {};

TEST_P(ExtractDialogListsTest, TextAndListEntriesAreRememberedSeparately) {
  auto connection = OpenDemo(7, 20);
  Save(false);
  auto typed = Answer({"txtWarehouseFrom= 02 ", "txtProdFrom=TYPED", "cmdOK"}, connection);
  EXPECT_EQ(typed->GetFromWH(), "02") << "values are trimmed";
  EXPECT_EQ(typed->GetFromPR(), "TYPED");

  Save(true);
  auto picked = Answer({"STWHComboStart=01", "STWHComboEnd=03", "cmdOK"}, connection);
  EXPECT_EQ(picked->GetFromWH(), "01");
  EXPECT_EQ(picked->GetToWH(), "03");
  EXPECT_EQ(picked->GetFromPR(), "");
  const auto& warehouses = dynamic_cast<const ComboBox&>(*picked->Find("STWHComboEnd")).Rows();
  const auto& products = dynamic_cast<const ComboBox&>(*picked->Find("STPRComboStart")).Rows();
  EXPECT_EQ(static_cast<long long>(warehouses.size()),
            Count(*connection, connection->TableCatalogue().Warehouses()));
  EXPECT_EQ(static_cast<long long>(products.size()),
            Count(*connection, "(select distinct product, description from " +
                                   connection->TableCatalogue().StockMaster() + ") p"));
  ASSERT_FALSE(warehouses.empty());
  EXPECT_EQ(warehouses[0][0], "01");

  Save(false);
  auto text_again = Answer({"cmdOK"}, connection);
  EXPECT_EQ(text_again->GetFromWH(), "02");
  EXPECT_EQ(text_again->GetToWH(), "");
  EXPECT_EQ(text_again->GetFromPR(), "TYPED");
  Save(true);
  auto lists_again = Answer({"cmdOK"}, connection);
  EXPECT_EQ(lists_again->GetFromWH(), "01");
  EXPECT_EQ(lists_again->GetToWH(), "03");
  EXPECT_EQ(lists_again->GetFromPR(), "");
}

INSTANTIATE_TEST_SUITE_P(Databases, ExtractDialogListsTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
