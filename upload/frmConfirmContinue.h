#pragma once

#include <string>

#include "shell/outside/ui/Form.h"

namespace orv {

// A warning the user may pass: Yes goes on with this row, Yes To All also stops asking for the
// rest of the run, Cancel (or the close box) stops. Both answers are cleared on every showing.
class frmConfirmContinue : public Form {
 public:
  frmConfirmContinue();

  std::string Caption1;  // first line
  std::string Caption2;  // second line
  std::string Heading;   // window title

  bool YesToThis() const { return yes_to_this_; }
  bool YesToAll() const { return yes_to_all_; }

  void Form_Load() override;
  void QueryUnload(bool& cancel) override;

 private:
  Label& label1_;
  Label& label2_;
  bool yes_to_this_ = false;
  bool yes_to_all_ = false;
};

}  // namespace orv
