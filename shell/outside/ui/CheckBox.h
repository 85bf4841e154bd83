#pragma once

#include <functional>

#include "shell/outside/ui/Control.h"

namespace orv {

class CheckBox : public Control {
 public:
  CheckBox(std::string name, std::string caption, std::string frame)
      : Control(Kind::kCheckBox, std::move(name), std::move(caption), std::move(frame)) {}
  bool Value = false;
  // Runs when the user changes the box (the form runs it itself when its code changes Value).
  std::function<void()> Click;
};

}  // namespace orv
