#pragma once

#include "shell/outside/Control.h"

namespace orv {

class CheckBox : public Control {
 public:
  CheckBox(std::string name, std::string caption, std::string frame)
      : Control(Kind::kCheckBox, std::move(name), std::move(caption), std::move(frame)) {}
  bool Value = false;
};

}  // namespace orv
