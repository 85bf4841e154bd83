#pragma once

#include <string>

#include "shell/outside/ui/Form.h"

namespace orv {

// Reports a sheet row whose record is not in the database.
class frmOrvStockWHValid : public Form {
 public:
  frmOrvStockWHValid();

  std::string MsgDisp;

  bool InformsOnly() const override { return true; }
  void Form_Load() override;
  void QueryUnload(bool& cancel) override;

 private:
  Label& WHMsg_;
  CommandButton& cmdOk_;
};

}  // namespace orv
