#pragma once

#include <memory>

#include "shell/outside/ui/Form.h"

namespace orv {

class clsOrvStockExOptions;

// The options dialog of the stock component: the blank-cell and dropdown options and the policy
// for records that already exist. OK copies the controls into the options object; nothing is
// written to the settings file here (the caller saves on OK). Cancel and the close box leave the
// object as it was.
class frmOrvStockExOptions : public Form {
 public:
  frmOrvStockExOptions();

  // The options to edit; when none was given the dialog makes its own on load.
  void SetOptions(std::shared_ptr<clsOrvStockExOptions> options) { options_ = std::move(options); }
  const std::shared_ptr<clsOrvStockExOptions>& Options() const { return options_; }

  void Form_Load() override;

 private:
  void SetPolicy(OptionButton& button, bool value);
  void cmdOK_Click();

  std::shared_ptr<clsOrvStockExOptions> options_;
  CheckBox& chkIgnoreBlankCells_;
  CheckBox& chkShowStockDwnload_;
  Frame& Frame1_;
  OptionButton& optAllowWidWarn_;
  OptionButton& optWarn_;
  OptionButton& optDoNotAllow_;
  CommandButton& cmdOK_;
  CommandButton& cmdCancel_;
};

}  // namespace orv
