#pragma once

#include <memory>

#include "shell/outside/ui/Form.h"

namespace orv {

class clsOrvStockExOptions;

// The options dialog of the technical description component: its one option, blank cells on
// upload. OK copies the box into the options object (the caller saves); Cancel leaves it.
class frmTechDescOptions : public Form {
 public:
  frmTechDescOptions();

  void SetOptions(std::shared_ptr<clsOrvStockExOptions> options) { options_ = std::move(options); }
  void Form_Load() override;

 private:
  std::shared_ptr<clsOrvStockExOptions> options_;
  CheckBox& chkIgnoreBlankCells_;
  CommandButton& cmdOK_;
  CommandButton& cmdCancel_;
};

}  // namespace orv
