#pragma once

#include <functional>

#include "shell/outside/ui/Control.h"

namespace orv {

class CommandButton : public Control {
 public:
  CommandButton(std::string name, std::string caption, std::string frame)
      : Control(Kind::kCommandButton, std::move(name), std::move(caption), std::move(frame)) {}
  std::function<void()> Click;
};

}  // namespace orv
