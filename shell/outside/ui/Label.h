#pragma once

#include "shell/outside/ui/Control.h"

namespace orv {

// Text the dialog shows; the user cannot change it.
class Label : public Control {
 public:
  Label(std::string name, std::string caption, std::string frame)
      : Control(Kind::kLabel, std::move(name), std::move(caption), std::move(frame)) {}
};

}  // namespace orv
