#include "shell/outside/ui/CodeList.h"

namespace orv {

CodeList::CodeList(std::string caption, std::shared_ptr<RowSource> source)
    : ListPicker("frmCodeList", std::move(caption), "Codes", std::move(source), false,
                 {{"txtSearch", "Code starts with, or description holds"}}) {}

std::string CodeList::Code() const {
  auto chosen = Chosen();
  if (chosen.empty() || chosen.front().empty()) return {};
  return chosen.front().front();
}

}  // namespace orv
