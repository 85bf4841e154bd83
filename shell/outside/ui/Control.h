#pragma once

#include <string>

namespace orv {

// What every control of a modal form has: a name the code addresses it by, a caption the user
// reads, and the frame it sits in (empty for the form itself).
class Control {
 public:
  enum class Kind {
    kCheckBox,
    kOptionButton,
    kTextBox,
    kComboBox,
    kFrame,
    kCommandButton,
    kLabel,
    kList
  };

  Control(Kind kind, std::string name, std::string caption, std::string frame)
      : kind_(kind),
        name_(std::move(name)),
        frame_(std::move(frame)),
        Caption(std::move(caption)) {}
  virtual ~Control() = default;

  Kind ControlKind() const { return kind_; }
  const std::string& Name() const { return name_; }
  const std::string& FrameName() const { return frame_; }

 private:
  Kind kind_;
  std::string name_;
  std::string frame_;

 public:
  std::string Caption;
  std::string ToolTipText;
  bool Visible = true;
  bool Enabled = true;
};

}  // namespace orv
