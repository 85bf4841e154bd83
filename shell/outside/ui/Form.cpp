#include "shell/outside/ui/Form.h"

#include "shell/outside/base/AppError.h"

namespace orv {

Form::Form(std::string name, std::string caption)
    : Caption(std::move(caption)), name_(std::move(name)) {}

template <class T, class... Args>
T& Form::Add(Args&&... args) {
  auto control = std::make_unique<T>(std::forward<Args>(args)...);
  if (Find(control->Name()))
    throw AppError(kUnexpectedError, "",
                   "Form " + name_ + " has two controls named " + control->Name());
  T& added = *control;
  controls_.push_back(std::move(control));
  return added;
}

CheckBox& Form::AddCheckBox(std::string name, std::string caption, std::string frame) {
  return Add<CheckBox>(std::move(name), std::move(caption), std::move(frame));
}
OptionButton& Form::AddOptionButton(std::string name, std::string caption, std::string group,
                                    std::string frame) {
  return Add<OptionButton>(std::move(name), std::move(caption), std::move(frame), std::move(group));
}
TextBox& Form::AddTextBox(std::string name, std::string caption, std::string frame) {
  return Add<TextBox>(std::move(name), std::move(caption), std::move(frame));
}
ComboBox& Form::AddComboBox(std::string name, std::string caption, std::string frame) {
  return Add<ComboBox>(std::move(name), std::move(caption), std::move(frame));
}
Frame& Form::AddFrame(std::string name, std::string caption, std::string frame) {
  return Add<Frame>(std::move(name), std::move(caption), std::move(frame));
}
Label& Form::AddLabel(std::string name, std::string caption, std::string frame) {
  return Add<Label>(std::move(name), std::move(caption), std::move(frame));
}
CommandButton& Form::AddCommandButton(std::string name, std::string caption, std::string frame) {
  return Add<CommandButton>(std::move(name), std::move(caption), std::move(frame));
}
PickList& Form::AddPickList(std::string name, std::string caption,
                            std::shared_ptr<RowSource> source, bool multiple, std::string frame) {
  return Add<PickList>(std::move(name), std::move(caption), std::move(frame), std::move(source),
                       multiple);
}

Control* Form::Find(std::string_view name) const {
  for (const auto& control : controls_)
    if (control->Name() == name) return control.get();
  return nullptr;
}

bool Form::IsShown(const Control& control) const {
  const Control* current = &control;
  for (int depth = 0; current && depth < 32; ++depth) {
    if (!current->Visible) return false;
    if (current->FrameName().empty()) return true;
    current = Find(current->FrameName());
  }
  return current == nullptr;
}

void Form::ClickButton(std::string_view name) {
  auto* button = dynamic_cast<CommandButton*>(Find(name));
  if (!button)
    throw AppError(kUnexpectedError, "", "Form " + name_ + " has no button " + std::string(name));
  if (!IsShown(*button) || !button->Enabled)
    throw AppError(kUnexpectedError, "", "The button " + button->Name() + " cannot be clicked now");
  if (button->Click) button->Click();
}

void Form::ChooseOption(std::string_view name) {
  auto* option = dynamic_cast<OptionButton*>(Find(name));
  if (!option)
    throw AppError(kUnexpectedError, "", "Form " + name_ + " has no option " + std::string(name));
  for (const auto& control : controls_)
    if (auto* other = dynamic_cast<OptionButton*>(control.get());
        other && other->Group == option->Group)
      other->Value = false;
  option->Value = true;
  if (option->Click) option->Click();
}

void Form::SetCheck(std::string_view name, bool value) {
  auto* box = dynamic_cast<CheckBox*>(Find(name));
  if (!box)
    throw AppError(kUnexpectedError, "",
                   "Form " + name_ + " has no check box " + std::string(name));
  bool changed = box->Value != value;
  box->Value = value;
  if (changed && box->Click) box->Click();
}

void Form::Pick(std::string_view value) {
  throw AppError(kUnexpectedError, "",
                 "The dialog " + name_ + " has nothing to pick '" + std::string(value) + "' from");
}

void Form::CloseBox() {
  bool cancel = false;
  QueryUnload(cancel);
  if (!cancel) Hide();
}

}  // namespace orv
