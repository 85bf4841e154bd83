#pragma once

#include <string>

#include "shell/outside/ui/Form.h"

namespace orv {

// A product group code that is not on file: Yes goes on, Yes To All also stops asking about that
// group, Cancel (or the close box) rejects the row.
class frmGroupContinue : public Form {
 public:
  frmGroupContinue();

  std::string GroupLabel;  // "Group A" ... "Group F"
  std::string GroupField;  // "AnalysisA" ... "AnalysisF"

  bool Continue() const { return continue_; }
  bool YesToAll() const { return yes_to_all_; }

  void Form_Load() override;
  void QueryUnload(bool& cancel) override;

 private:
  Label& label1_;
  bool continue_ = false;
  bool yes_to_all_ = false;
};

}  // namespace orv
