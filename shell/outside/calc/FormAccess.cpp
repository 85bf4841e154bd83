// The C functions through which a host reads the form it is asked to show.
#include <string>

#include "shell/outside/calc/CalcHost.h"
#include "shell/outside/ui/DialogHost.h"
#include "shell/outside/ui/Form.h"

namespace {

const orv::Form* AsForm(const OrvCalcForm* form) {
  return reinterpret_cast<const orv::Form*>(form);
}

const orv::Control* ControlAt(const OrvCalcForm* form, std::int32_t index) {
  if (!form || index < 0) return nullptr;
  const auto& controls = AsForm(form)->Controls();
  return static_cast<std::size_t>(index) < controls.size() ? controls[index].get() : nullptr;
}

}  // namespace

extern "C" {

const char* orv_calc_form_name(const OrvCalcForm* form) {
  return form ? AsForm(form)->Name().c_str() : "";
}

const char* orv_calc_form_caption(const OrvCalcForm* form) {
  return form ? AsForm(form)->Caption.c_str() : "";
}

const char* orv_calc_form_describe(const OrvCalcForm* form) {
  thread_local std::string description;
  try {
    description = form ? orv::DialogHost::Describe(*AsForm(form)) : std::string();
  } catch (...) {
    description.clear();
  }
  return description.c_str();
}

std::int32_t orv_calc_form_control_count(const OrvCalcForm* form) {
  return form ? static_cast<std::int32_t>(AsForm(form)->Controls().size()) : 0;
}

int orv_calc_form_control(const OrvCalcForm* form, std::int32_t index, OrvCalcControl* out) {
  const orv::Control* control = ControlAt(form, index);
  if (!control || !out) return -1;
  static_assert(ORV_CONTROL_CHECK_BOX == static_cast<int>(orv::Control::Kind::kCheckBox) &&
                ORV_CONTROL_OPTION_BUTTON == static_cast<int>(orv::Control::Kind::kOptionButton) &&
                ORV_CONTROL_TEXT_BOX == static_cast<int>(orv::Control::Kind::kTextBox) &&
                ORV_CONTROL_COMBO_BOX == static_cast<int>(orv::Control::Kind::kComboBox) &&
                ORV_CONTROL_FRAME == static_cast<int>(orv::Control::Kind::kFrame) &&
                ORV_CONTROL_COMMAND_BUTTON ==
                    static_cast<int>(orv::Control::Kind::kCommandButton) &&
                ORV_CONTROL_LABEL == static_cast<int>(orv::Control::Kind::kLabel));
  static const std::string kNone;
  *out = OrvCalcControl{};
  out->name = control->Name().c_str();
  out->kind = static_cast<std::int32_t>(control->ControlKind());
  out->caption = control->Caption.c_str();
  out->frame = control->FrameName().c_str();
  out->group = kNone.c_str();
  out->tip = control->ToolTipText.c_str();
  out->text = kNone.c_str();
  out->shown = AsForm(form)->IsShown(*control) ? 1 : 0;
  out->enabled = control->Enabled ? 1 : 0;
  switch (control->ControlKind()) {
    case orv::Control::Kind::kCheckBox:
      out->value = static_cast<const orv::CheckBox*>(control)->Value ? 1 : 0;
      break;
    case orv::Control::Kind::kOptionButton: {
      const auto* option = static_cast<const orv::OptionButton*>(control);
      out->value = option->Value ? 1 : 0;
      out->group = option->Group.c_str();
      break;
    }
    case orv::Control::Kind::kTextBox:
      out->text = static_cast<const orv::TextBox*>(control)->Text.c_str();
      break;
    case orv::Control::Kind::kComboBox: {
      const auto* combo = static_cast<const orv::ComboBox*>(control);
      out->text = combo->Text.c_str();
      out->rows = static_cast<std::int32_t>(combo->Rows().size());
      break;
    }
    default:
      break;
  }
  return 0;
}

const char* orv_calc_form_list_text(const OrvCalcForm* form, std::int32_t index, std::int32_t row,
                                    std::int32_t column) {
  const orv::Control* control = ControlAt(form, index);
  if (!control || control->ControlKind() != orv::Control::Kind::kComboBox || row < 0 ||
      column < 0 || column > 1)
    return nullptr;
  const auto& rows = static_cast<const orv::ComboBox*>(control)->Rows();
  if (static_cast<std::size_t>(row) >= rows.size()) return nullptr;
  return rows[row][column].c_str();
}
}
