#pragma once

#include <functional>

#include "shell/outside/ui/Control.h"

namespace orv {

class TextBox : public Control {
 public:
  TextBox(std::string name, std::string caption, std::string frame)
      : Control(Kind::kTextBox, std::move(name), std::move(caption), std::move(frame)) {}
  std::string Text;
  // Runs when the user has typed into the box (not when the form's code sets Text).
  std::function<void()> Change;
};

}  // namespace orv
