// The C functions through which a host reads the form it is asked to show.
#include <string>

#include "shell/outside/calc/CalcHost.h"
#include "shell/outside/ui/DialogHost.h"
#include "shell/outside/ui/Form.h"
#include "shell/outside/ui/PickList.h"

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
                ORV_CONTROL_LABEL == static_cast<int>(orv::Control::Kind::kLabel) &&
                ORV_CONTROL_LIST == static_cast<int>(orv::Control::Kind::kList));
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
      out->columns = 2;
      break;
    }
    case orv::Control::Kind::kList: {
      const auto* list = static_cast<const orv::PickList*>(control);
      out->rows = static_cast<std::int32_t>(list->PageRows().size());
      out->columns = static_cast<std::int32_t>(list->Captions().size());
      out->first_number = static_cast<std::int32_t>(list->FirstNumber());
      out->multiple = list->Multiple() ? 1 : 0;
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
  if (!control || row < 0 || column < 0) return nullptr;
  auto at = [&](const auto& rows) -> const char* {
    if (static_cast<std::size_t>(row) >= rows.size() ||
        static_cast<std::size_t>(column) >= rows[row].size())
      return nullptr;
    return rows[row][column].c_str();
  };
  if (control->ControlKind() == orv::Control::Kind::kComboBox)
    return at(static_cast<const orv::ComboBox*>(control)->Rows());
  if (control->ControlKind() == orv::Control::Kind::kList)
    return at(static_cast<const orv::PickList*>(control)->PageRows());
  return nullptr;
}

const char* orv_calc_form_list_caption(const OrvCalcForm* form, std::int32_t index,
                                       std::int32_t column) {
  const orv::Control* control = ControlAt(form, index);
  if (!control || column < 0) return nullptr;
  auto at = [&](const auto& captions) -> const char* {
    return static_cast<std::size_t>(column) < captions.size() ? captions[column].c_str() : nullptr;
  };
  if (control->ControlKind() == orv::Control::Kind::kComboBox)
    return at(static_cast<const orv::ComboBox*>(control)->ColumnCaptions);
  if (control->ControlKind() == orv::Control::Kind::kList)
    return at(static_cast<const orv::PickList*>(control)->Captions());
  return nullptr;
}

int orv_calc_form_list_chosen(const OrvCalcForm* form, std::int32_t index, std::int32_t row) {
  const orv::Control* control = ControlAt(form, index);
  if (!control || control->ControlKind() != orv::Control::Kind::kList || row < 0) return 0;
  const auto* list = static_cast<const orv::PickList*>(control);
  if (static_cast<std::size_t>(row) >= list->PageRows().size()) return 0;
  return list->IsChosen(list->PageRows()[row]) ? 1 : 0;
}
}
