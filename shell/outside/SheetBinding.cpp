#include "shell/outside/SheetBinding.h"

#include "shell/outside/RangeList.h"
#include "shell/outside/Worksheet.h"

namespace orv {

void SheetBinding::Bind(RangeList& list, std::shared_ptr<Worksheet> sheet, bool flag) {
  flag_ = flag;
  list.SetActiveSheet(std::move(sheet));
}

}  // namespace orv
