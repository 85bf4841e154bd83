#include "shell/outside/ui/DialogHost.h"

#include <algorithm>
#include <sstream>

#include "shell/outside/base/AppError.h"

namespace orv {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

bool ParseFlag(std::string_view value, const std::string& control) {
  auto lower = Lower(value);
  if (lower == "1" || lower == "true" || lower == "yes" || lower == "on") return true;
  if (lower == "0" || lower == "false" || lower == "no" || lower == "off") return false;
  throw AppError(kUnexpectedError, "",
                 "'" + std::string(value) + "' is not a value for " + control + " (use 1 or 0)");
}

[[noreturn]] void NoSuchControl(const Form& form, std::string_view name) {
  throw AppError(kUnexpectedError, "",
                 "The dialog " + form.Name() + " has no control named " + std::string(name));
}

}  // namespace

void DialogHost::Apply(Form& form, std::string_view action) {
  auto equals = action.find('=');
  std::string name(action.substr(0, equals));
  if (equals == std::string_view::npos && Lower(name) == "close") {
    form.CloseBox();
    return;
  }
  Control* control = form.Find(name);
  if (!control || !form.IsShown(*control)) NoSuchControl(form, name);
  if (equals == std::string_view::npos) {
    switch (control->ControlKind()) {
      case Control::Kind::kCommandButton:
        form.ClickButton(name);
        return;
      case Control::Kind::kOptionButton:
        form.ChooseOption(name);
        return;
      case Control::Kind::kCheckBox:
        form.SetCheck(name, true);
        return;
      default:
        throw AppError(kUnexpectedError, "",
                       control->Name() + " needs a value: " + control->Name() + "=...");
    }
  }
  std::string value(action.substr(equals + 1));
  switch (control->ControlKind()) {
    case Control::Kind::kTextBox:
      static_cast<TextBox*>(control)->Text = value;
      return;
    case Control::Kind::kComboBox:
      static_cast<ComboBox*>(control)->Text = value;
      return;
    case Control::Kind::kCheckBox:
      form.SetCheck(name, ParseFlag(value, control->Name()));
      return;
    case Control::Kind::kOptionButton:
      if (ParseFlag(value, control->Name())) form.ChooseOption(name);
      return;
    default:
      throw AppError(kUnexpectedError, "", control->Name() + " takes no value");
  }
}

std::string DialogHost::Describe(const Form& form) {
  std::ostringstream out;
  out << "== " << form.Caption << " ==\n";
  for (const auto& control : form.Controls()) {
    if (!form.IsShown(*control)) continue;
    const std::string& name = control->Name();
    switch (control->ControlKind()) {
      case Control::Kind::kFrame:
        out << "-- " << control->Caption << '\n';
        break;
      case Control::Kind::kLabel:
        out << "  " << control->Caption << '\n';
        break;
      case Control::Kind::kCheckBox:
        out << "  [" << (static_cast<const CheckBox&>(*control).Value ? 'x' : ' ') << "] " << name
            << "  " << control->Caption << '\n';
        break;
      case Control::Kind::kOptionButton:
        out << "  (" << (static_cast<const OptionButton&>(*control).Value ? '*' : ' ') << ") "
            << name << "  " << control->Caption << '\n';
        break;
      case Control::Kind::kTextBox:
        out << "  " << name << "  " << control->Caption << ": "
            << static_cast<const TextBox&>(*control).Text << '\n';
        break;
      case Control::Kind::kComboBox: {
        const auto& combo = static_cast<const ComboBox&>(*control);
        out << "  " << name << "  " << control->Caption << ": " << combo.Text << "  ("
            << combo.Rows().size() << " in list";
        for (std::size_t i = 0; i < combo.Rows().size() && i < 5; ++i)
          out << (i ? ", " : ": ") << combo.Rows()[i][0];
        if (combo.Rows().size() > 5) out << ", ...";
        out << ")\n";
        break;
      }
      case Control::Kind::kCommandButton:
        out << "  <" << name << ">  " << control->Caption;
        if (!control->ToolTipText.empty()) out << " - " << control->ToolTipText;
        out << '\n';
        break;
    }
  }
  return out.str();
}

void DialogHost::Run(Form& form, const ActionSource& next_action, std::ostream& notices,
                     bool interactive) {
  form.SetOKSelected(false);
  form.Show();
  form.Form_Load();
  if (form.InformsOnly()) {
    notices << Describe(form);
    form.CloseBox();
    form.Hide();
    return;
  }
  while (form.Visible()) {
    auto action = next_action(form);
    if (!action) {
      notices << "orvstock: nobody answered the dialog \"" << form.Caption << "\": closed it\n";
      form.CloseBox();
      if (form.Visible()) form.Hide();
      break;
    }
    try {
      Apply(form, *action);
    } catch (const AppError& error) {
      if (!interactive) throw;
      notices << error.Description() << '\n';
    }
  }
}

}  // namespace orv
