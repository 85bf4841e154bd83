#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "shell/outside/ui/Form.h"

namespace orv {

// Shows a form modally: runs Form_Load, then applies the user's actions one by one until a
// handler hides the form. An action is one of
//   NAME=VALUE   fill a text box or drop-down, tick (1/true/yes) or clear a check box
//   NAME         click a button, choose an option, tick a check box
//   N            choose row N of the list shown (a number)
//   pick=VALUE   pick a value as the form offers it (a list's key, a date, a company)
//   close        the window's close box
// `next_action` returns nullopt when nobody answers; the form is then closed by its close box.
class DialogHost {
 public:
  using ActionSource = std::function<std::optional<std::string>(const Form&)>;

  // An interactive user who mistypes is told and asked again; a scripted run stops with the error.
  static void Run(Form& form, const ActionSource& next_action, std::ostream& notices,
                  bool interactive);
  // Applies one action; throws AppError for an action that does not fit the form.
  static void Apply(Form& form, std::string_view action);
  // The form as a user reads it: caption, the shown controls with their values, the page of a
  // list with its numbered rows, the buttons.
  static std::string Describe(const Form& form);
};

}  // namespace orv
