#include "shell/outside/xlsx/MacroInstaller.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/xlsx/Workbook.h"

namespace orv {

std::string MacroInstaller::BrowseCodeProperty(const std::string& macro_name) {
  return "OrvStock.BrowseCode." + macro_name;
}

std::string MacroInstaller::ShortcutProperty(const std::string& macro_name) {
  return "OrvStock.Shortcut." + macro_name;
}

Workbook& MacroInstaller::Target() const {
  if (!workbook_)
    throw AppError(vbObjectError + 6005, "", "No workbook given to install the browse code into");
  if (macro_name_.empty()) throw AppError(vbObjectError + 6005, "", "No macro name given");
  return *workbook_;
}

void MacroInstaller::Add() {
  Target().Document().SetCustomProperty(BrowseCodeProperty(macro_name_), macro_name_);
}

void MacroInstaller::Remove() {
  Target().Document().RemoveCustomProperty(BrowseCodeProperty(macro_name_));
}

void MacroInstaller::AddShortcut() {
  Target().Document().SetCustomProperty(ShortcutProperty(macro_name_),
                                        caption_ + "\t" + shortcut_text_);
}

void MacroInstaller::RemoveShortcut() {
  Target().Document().RemoveCustomProperty(ShortcutProperty(macro_name_));
}

}  // namespace orv
