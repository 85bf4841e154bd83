#include "browse/BrowseEngine.h"

#include "browse/BrowseLists.h"
#include "browse/CodeListSource.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/ui/CodeList.h"
#include "shell/outside/ui/UserInterface.h"
#include "shell/outside/xlsx/RangeDefinition.h"

namespace orv {

std::string BrowseEngine::BrowseKind() const {
  if (!definition_) return {};
  return definition_->BrowseList.empty() ? definition_->browse_kind : definition_->BrowseList;
}

bool BrowseEngine::Browse(UserInterface& ui) {
  return Trap("Browse of Class Module BrowseEngine Line#:", [&](int& line) {
    line = 10;
    const std::string kind = BrowseKind();
    const BrowseLists::List* list = BrowseLists::Find(kind);
    if (!list)
      throw AppError(vbObjectError, "", "There is no code list for the browse '" + kind + "'");
    if (!cell_ || !connection_)
      throw AppError(kUnexpectedError, "", "The browse was given no cell or no connection");
    line = 20;
    CodeList picker(list->caption, std::make_shared<CodeListSource>(connection_, *list));
    picker.SetSearchText(search_);
    ui.ShowModal(picker);
    line = 30;
    std::string code = picker.Code();
    if (code.empty()) return false;
    cell_->SetValue(Variant(code));
    return true;
  });
}

}  // namespace orv
