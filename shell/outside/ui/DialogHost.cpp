#include "shell/outside/ui/DialogHost.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

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

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
}

PickList* ShownList(const Form& form) {
  for (const auto& control : form.Controls())
    if (control->ControlKind() == Control::Kind::kList && form.IsShown(*control))
      return static_cast<PickList*>(control.get());
  return nullptr;
}

// The rows of a list page in columns, each as wide as its widest cell (at most 40 characters).
void DescribeList(std::ostream& out, const PickList& list) {
  const auto& rows = list.PageRows();
  std::vector<std::size_t> widths;
  for (const auto& caption : list.Captions()) widths.push_back(caption.size());
  for (const auto& row : rows)
    for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i)
      widths[i] = std::max(widths[i], std::min<std::size_t>(row[i].size(), 40));
  const std::size_t last = list.FirstNumber() + rows.size() - 1;
  const std::size_t number_width = std::to_string(std::max<std::size_t>(last, 1)).size();
  auto line = [&](std::string_view mark, std::string_view number,
                  const std::vector<std::string>& cells) {
    out << "    " << mark << ' ' << std::string(number_width - number.size(), ' ') << number;
    for (std::size_t i = 0; i < cells.size() && i < widths.size(); ++i) {
      std::string cell = cells[i].substr(0, 40);
      out << "  " << cell;
      if (i + 1 < cells.size()) out << std::string(widths[i] - cell.size(), ' ');
    }
    out << '\n';
  };
  line(list.Multiple() ? "   " : " ", "", list.Captions());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const char* mark = list.Multiple() ? (list.IsChosen(rows[i]) ? "[x]" : "[ ]")
                                       : (list.IsChosen(rows[i]) ? "*" : " ");
    line(mark, std::to_string(list.FirstNumber() + i), rows[i]);
  }
  if (rows.empty()) {
    out << "    (nothing matches)\n";
  } else {
    out << "    rows " << list.FirstNumber() << " to " << last
        << (list.HasNextPage() ? ", more follow" : ", the last");
    if (list.Multiple()) out << "; " << list.Chosen().size() << " chosen";
    out << '\n';
  }
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
  if (equals != std::string_view::npos && Lower(name) == "pick") {
    form.Pick(action.substr(equals + 1));
    return;
  }
  if (equals == std::string_view::npos && AllDigits(name)) {
    if (PickList* list = ShownList(form)) {
      list->ChooseNumber(std::stoul(name));
      return;
    }
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
    case Control::Kind::kTextBox: {
      auto* box = static_cast<TextBox*>(control);
      box->Text = value;
      if (box->Change) box->Change();
      return;
    }
    case Control::Kind::kList:
      static_cast<PickList*>(control)->ChooseKey(value);
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
        if (!control->Enabled) out << " (not now)";
        out << '\n';
        break;
      case Control::Kind::kList:
        out << "  " << name << "  " << control->Caption << '\n';
        DescribeList(out, static_cast<const PickList&>(*control));
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
