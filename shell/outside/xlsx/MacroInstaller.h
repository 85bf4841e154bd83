#pragma once

#include <memory>
#include <string>

namespace orv {

class Workbook;

// Registers a component's browse code and its shortcut with a workbook. There is no macro
// language here: each registration is a custom document property, so adding twice leaves one
// registration and removing takes it away. The host reads them back to offer the entries.
class MacroInstaller {
 public:
  void SetWorkbook(std::shared_ptr<Workbook> workbook) { workbook_ = std::move(workbook); }
  void SetMacroName(std::string name) { macro_name_ = std::move(name); }
  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  void SetShortcutText(std::string text) { shortcut_text_ = std::move(text); }
  void SetFlag(bool flag) { flag_ = flag; }

  void Add();
  void Remove();
  void AddShortcut();
  void RemoveShortcut();

  // The registration properties of a macro: "OrvStock.BrowseCode.<macro>" holds the macro name,
  // "OrvStock.Shortcut.<macro>" the caption and the shortcut text separated by a tab.
  static std::string BrowseCodeProperty(const std::string& macro_name);
  static std::string ShortcutProperty(const std::string& macro_name);

 private:
  Workbook& Target() const;
  std::shared_ptr<Workbook> workbook_;
  std::string macro_name_;
  std::string caption_;
  std::string shortcut_text_;
  bool flag_ = false;
};

}  // namespace orv
