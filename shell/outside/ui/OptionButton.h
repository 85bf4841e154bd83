#pragma once

#include <functional>

#include "shell/outside/ui/Control.h"

namespace orv {

// One choice of a group; choosing it clears the others of the same group (the form does that).
class OptionButton : public Control {
 public:
  OptionButton(std::string name, std::string caption, std::string frame, std::string group)
      : Control(Kind::kOptionButton, std::move(name), std::move(caption), std::move(frame)),
        Group(std::move(group)) {}
  std::string Group;
  bool Value = false;
  std::function<void()> Click;
};

}  // namespace orv
