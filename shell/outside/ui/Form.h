#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/ui/CheckBox.h"
#include "shell/outside/ui/ComboBox.h"
#include "shell/outside/ui/CommandButton.h"
#include "shell/outside/ui/Frame.h"
#include "shell/outside/ui/Label.h"
#include "shell/outside/ui/OptionButton.h"
#include "shell/outside/ui/PickList.h"
#include "shell/outside/ui/TextBox.h"

namespace orv {

// A modal dialog: named controls in tab order and the handlers the dialog host calls. A dialog
// closes when one of its handlers calls Hide(); the caller then reads OKSelected.
class Form {
 public:
  Form(std::string name, std::string caption);
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  std::string Caption;

  // Runs when the dialog is shown, before the user sees it.
  virtual void Form_Load() {}
  // The window's close box: leave `cancel` false to let the dialog close.
  virtual void QueryUnload(bool& cancel) { cancel = false; }

  // A dialog that only tells the user something: shown and closed without waiting for an answer.
  virtual bool InformsOnly() const { return false; }

  bool OKSelected() const { return ok_selected_; }
  void SetOKSelected(bool selected) { ok_selected_ = selected; }

  bool Visible() const { return visible_; }
  void Show() { visible_ = true; }
  void Hide() { visible_ = false; }

  const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
  Control* Find(std::string_view name) const;
  // Visible means the control and every frame around it are visible.
  bool IsShown(const Control& control) const;

  // The user's actions, as the dialog host applies them.
  void ClickButton(std::string_view name);
  void ChooseOption(std::string_view name);
  void SetCheck(std::string_view name, bool value);
  void CloseBox();
  // The value the user picks in a picker, as `orvstock browse --pick` gives it; AppError for a form
  // that picks nothing or a value it does not offer.
  virtual void Pick(std::string_view value);

 protected:
  CheckBox& AddCheckBox(std::string name, std::string caption, std::string frame = {});
  OptionButton& AddOptionButton(std::string name, std::string caption, std::string group,
                                std::string frame = {});
  TextBox& AddTextBox(std::string name, std::string caption, std::string frame = {});
  ComboBox& AddComboBox(std::string name, std::string caption, std::string frame = {});
  Frame& AddFrame(std::string name, std::string caption, std::string frame = {});
  Label& AddLabel(std::string name, std::string caption, std::string frame = {});
  CommandButton& AddCommandButton(std::string name, std::string caption, std::string frame = {});
  PickList& AddPickList(std::string name, std::string caption, std::shared_ptr<RowSource> source,
                        bool multiple, std::string frame = {});

 private:
  template <class T, class... Args>
  T& Add(Args&&... args);

  std::string name_;
  bool visible_ = false;
  bool ok_selected_ = false;
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace orv
