#pragma once

#include "shell/outside/ui/Form.h"

namespace orv {

// Asks before an upload writes anything: "Post Stock to Sage?". The caller puts the company into
// the caption; OKSelected tells whether to go on.
class frmPostConfirm : public Form {
 public:
  frmPostConfirm();
  void QueryUnload(bool& cancel) override;
};

}  // namespace orv
