#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "shell/outside/base/AppError.h"
#include "shell/outside/ui/Form.h"
#include "shell/outside/ui/ProgressBar.h"
#include "shell/outside/ui/ScriptedUI.h"
#include "shell/outside/ui/TerminalUI.h"
#include "tests/TestSupport.h"
#include "upload/frmOrvStockWHValid.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

// A dialog shaped like the download selection: limits, a placement choice, OK and Cancel.
class PickForm : public Form {
 public:
  PickForm() : Form("frmPick", "Pick stock") {
    AddFrame("fraLimits", "Limits");
    from = &AddTextBox("txtWarehouseFrom", "From warehouse", "fraLimits");
    AddOptionButton("optClear", "Clear first", "placement");
    append = &AddOptionButton("optAppend", "Append", "placement");
    only = &AddCheckBox("chkOnlySheet", "Only rows on the sheet");
    only->Click = [this] { Find("fraLimits")->Visible = !only->Value; };
    auto& ok = AddCommandButton("cmdOK", "OK");
    ok.Click = [this] {
      SetOKSelected(true);
      Hide();
    };
    auto& cancel = AddCommandButton("cmdCancel", "Cancel");
    cancel.Click = [this] { Hide(); };
  }
  void Form_Load() override {
    loaded = true;
    static_cast<OptionButton*>(Find("optClear"))->Value = true;
  }
  void QueryUnload(bool& cancel) override { cancel = refuse_close; }

  TextBox* from;
  OptionButton* append;
  CheckBox* only;
  bool loaded = false;
  bool refuse_close = false;
};

struct Scripted {
  std::ostringstream notices, summary;
  ScriptedUI ui;
  explicit Scripted(std::deque<std::string> answers) : ui(std::move(answers), notices, summary) {}
};

TEST(ScriptedUI, AnswersAreTakenInOrderMustFitAndWhenNoneIsLeftTheQuestionIsRefused) {
  Scripted s({"ok", "Y", "Yes"});
  EXPECT_EQ(s.ui.MsgBox("Info only", MsgButtons::kOK, MsgIcon::kNone, ""), MsgAnswer::kOK);
  EXPECT_EQ(s.ui.RemainingAnswers(), 3u) << "an information box must not use up an answer";
  EXPECT_EQ(s.ui.MsgBox("Clear?", MsgButtons::kOKCancel, MsgIcon::kNone, ""), MsgAnswer::kOK);
  EXPECT_EQ(s.ui.MsgBox("Go on?", MsgButtons::kYesNo, MsgIcon::kNone, ""), MsgAnswer::kYes);
  EXPECT_THROW(s.ui.MsgBox("Clear?", MsgButtons::kOKCancel, MsgIcon::kNone, ""), AppError);
  EXPECT_EQ(s.ui.MsgBox("Clear?", MsgButtons::kOKCancel, MsgIcon::kNone, ""), MsgAnswer::kCancel);
  EXPECT_EQ(s.ui.MsgBox("Download pages?", MsgButtons::kYesNo, MsgIcon::kNone, ""), MsgAnswer::kNo);
  EXPECT_THAT(s.notices.str(), HasSubstr("answered Cancel"));
  EXPECT_THAT(s.notices.str(), HasSubstr("answered No"));
  EXPECT_EQ(s.ui.Messages().size(), 6u);
}

TEST(ScriptedUI, DialogActionsFillControlsAndClickButtons) {
  Scripted s({"txtWarehouseFrom=01", "optAppend", "chkOnlySheet=1", "cmdOK"});
  PickForm form;
  s.ui.ShowModal(form);
  EXPECT_TRUE(form.loaded);
  EXPECT_TRUE(form.OKSelected());
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(form.from->Text, "01");
  EXPECT_TRUE(form.append->Value);
  EXPECT_FALSE(static_cast<OptionButton*>(form.Find("optClear"))->Value)
      << "choosing one option clears the others of its group";
  EXPECT_TRUE(form.only->Value);
  EXPECT_FALSE(form.Find("fraLimits")->Visible) << "ticking the box runs its click handler";
}

TEST(ScriptedUI, UnansweredDialogIsClosedNeverConfirmed) {
  Scripted s({"txtWarehouseFrom=01"});
  PickForm form;
  form.refuse_close = true;
  s.ui.ShowModal(form);
  EXPECT_FALSE(form.OKSelected());
  EXPECT_FALSE(form.Visible());
  EXPECT_THAT(s.notices.str(), HasSubstr("nobody answered the dialog"));
}

TEST(ScriptedUI, ActionsThatDoNotFitTheDialogAreErrors) {
  PickForm form;
  EXPECT_THROW(Scripted({"txtNoSuchBox=1"}).ui.ShowModal(form), AppError);
  PickForm hidden_frame;
  hidden_frame.Find("fraLimits")->Visible = false;
  EXPECT_THROW(Scripted({"txtWarehouseFrom=01"}).ui.ShowModal(hidden_frame), AppError)
      << "a control inside a hidden frame cannot be reached";
  PickForm bad_flag;
  EXPECT_THROW(Scripted({"chkOnlySheet=maybe"}).ui.ShowModal(bad_flag), AppError);
}

TEST(ScriptedUI, ReportDialogsAreShownWithoutUsingUpAnAnswer) {
  Scripted s({"OK"});
  frmOrvStockWHValid report;
  report.MsgDisp = "Warehouse: 01 and Product: P1";
  s.ui.ShowModal(report);
  EXPECT_FALSE(report.Visible());
  EXPECT_EQ(s.ui.RemainingAnswers(), 1u);
  EXPECT_THAT(s.notices.str(),
              HasSubstr("Invalid Row , Warehouse: 01 and Product: P1  Not Found In Database"));
}

TEST(TerminalUI, RetriesUntilAnAnswerFitsAndTreatsEndOfInputAsRefusal) {
  std::istringstream in("maybe\nc\ntxtNope=1\ntxtWarehouseFrom=02\ncmdOK\n");
  std::ostringstream out, summary;
  TerminalUI ui(in, out, summary, false);
  EXPECT_EQ(ui.MsgBox("Clear?", MsgButtons::kOKCancel, MsgIcon::kNone, ""), MsgAnswer::kCancel);
  PickForm form;
  ui.ShowModal(form);
  EXPECT_TRUE(form.OKSelected());
  EXPECT_EQ(form.from->Text, "02");
  EXPECT_THAT(out.str(), HasSubstr("no control named txtNope"));
  EXPECT_THAT(out.str(), HasSubstr("<cmdOK>"));
  EXPECT_EQ(ui.MsgBox("Again?", MsgButtons::kYesNo, MsgIcon::kNone, ""), MsgAnswer::kNo);
}

TEST(ProgressBar, RedrawsAtMostTenTimesASecondOnATerminal) {
  std::ostringstream status, summary;
  auto now = std::chrono::steady_clock::time_point{};
  ProgressBar bar(status, summary, true, [&] { return now; });
  bar.Start("Updating Sage", true);
  for (int i = 1; i <= 100; ++i) {
    now += std::chrono::milliseconds(10);  // one second in all
    bar.Show("Lines Read:" + std::to_string(i));
  }
  bar.End();
  std::string drawn = status.str();
  auto redraws = std::count(drawn.begin(), drawn.end(), '\r');
  EXPECT_GE(redraws, 9);
  EXPECT_LE(redraws, 12);
  EXPECT_THAT(drawn, HasSubstr("Lines Read:100")) << "the last state is shown at the end";
  bar.Summary("Record Processed : 100");
  EXPECT_EQ(summary.str(), "Record Processed : 100\n");
}

TEST(ProgressBar, OffATerminalOnlyTheSummaryIsPrinted) {
  std::ostringstream status, summary;
  ProgressBar bar(status, summary, false);
  bar.Start("Updating Sage", true);
  bar.Show("Lines Read:1");
  bar.End();
  bar.Summary("done");
  EXPECT_EQ(status.str() + summary.str(), "done\n");
}

}  // namespace
}  // namespace orv
