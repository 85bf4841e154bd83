#include "shell/outside/xlsx/SheetBinding.h"

#include "shell/outside/xlsx/RangeList.h"
#include "shell/outside/xlsx/Worksheet.h"

namespace orv {

void SheetBinding::Bind(RangeList& list, std::shared_ptr<Worksheet> sheet, bool flag) {
  flag_ = flag;
  list.SetActiveSheet(std::move(sheet));
}

}  // namespace orv
