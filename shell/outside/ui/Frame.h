#pragma once

#include "shell/outside/ui/Control.h"

namespace orv {

// Groups controls; hiding a frame hides what it holds.
class Frame : public Control {
 public:
  Frame(std::string name, std::string caption, std::string frame)
      : Control(Kind::kFrame, std::move(name), std::move(caption), std::move(frame)) {}
};

}  // namespace orv
