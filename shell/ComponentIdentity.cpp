#include "shell/ComponentIdentity.h"

#include "shell/outside/base/VersionInfo.h"
#include "shell/outside/xlsx/MacroInstaller.h"

namespace orv {

std::string ComponentIdentity::VersionDescription() {
  return "OrvStockExcel: " + VersionInfo::Number();
}

std::string ComponentIdentity::FullVersionDescription(std::string_view business_object) {
  return "OrvStockExcel:" + VersionInfo::Number() + "\r\n" + std::string(business_object) + "\r\n" +
         VersionInfo::DataLibrary() + "\r\n" + VersionInfo::GeneralLibrary();
}

void ComponentIdentity::SpecialBrowseCode(const std::shared_ptr<Workbook>& workbook,
                                          const std::string& browse_component, bool remove) {
  MacroInstaller installer;
  installer.SetWorkbook(workbook);
  installer.SetMacroName(browse_component);
  installer.SetFlag(true);
  if (remove)
    installer.Remove();
  else
    installer.Add();
  SpecialShortcutCode(workbook, browse_component, remove);
}

void ComponentIdentity::SpecialShortcutCode(const std::shared_ptr<Workbook>& workbook,
                                            const std::string& browse_component, bool remove) {
  MacroInstaller installer;
  installer.SetWorkbook(workbook);
  installer.SetMacroName(browse_component + "ViewStock");
  installer.SetCaption("View Stock");
  installer.SetShortcutText("");
  if (remove)
    installer.RemoveShortcut();
  else
    installer.AddShortcut();
}

}  // namespace orv
