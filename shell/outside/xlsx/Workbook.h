#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/Event.h"
#include "shell/outside/xlsx/XlsxDocument.h"

namespace orv {

class Range;
class Worksheet;

// The workbook the components are handed: its sheets, its defined names, the sheet the user
// works on and the SheetActivate event raised when that changes.
class Workbook {
 public:
  using SheetActivateEvent = Event<Worksheet&>;

  static std::shared_ptr<Workbook> Open(const std::filesystem::path& path,
                                        const ZipLimits& limits = {});
  explicit Workbook(std::unique_ptr<XlsxDocument> document);

  const std::filesystem::path& FullName() const { return document_->Path(); }
  std::size_t SheetCount() const { return sheets_.size(); }
  std::shared_ptr<Worksheet> Sheet(std::size_t index) const { return sheets_.at(index); }
  // nullptr when the workbook has no sheet of that name.
  std::shared_ptr<Worksheet> SheetNamed(std::string_view name) const;

  // The sheet worked on: the tab the file was saved with until another is activated.
  std::shared_ptr<Worksheet> ActiveSheet() const { return sheets_.at(active_); }
  // Makes `sheet` the active one and raises SheetActivate (when it changes).
  void ActivateSheet(const Worksheet& sheet);
  [[nodiscard]] SheetActivateEvent::Subscription OnSheetActivate(
      std::function<void(Worksheet&)> handler) {
    return sheet_activate_.Subscribe(std::move(handler));
  }

  const std::vector<XlsxDocument::DefinedName>& Names() const { return document_->DefinedNames(); }
  // The area of the defined name: a workbook-level name first, then one local to `local_sheet`.
  // nullopt when the workbook has no such name; a WorkbookError when it does not name one
  // rectangle of this workbook.
  std::optional<Range> NamedRange(std::string_view name,
                                  const Worksheet* local_sheet = nullptr) const;

  XlsxDocument& Document() const { return *document_; }
  std::optional<std::string> LockWarning() const { return document_->LockWarning(); }
  void Save(const XlsxDocument::Checkpoint& checkpoint = {}) { document_->Save(checkpoint); }

 private:
  std::shared_ptr<XlsxDocument> document_;
  std::vector<std::shared_ptr<Worksheet>> sheets_;
  std::size_t active_ = 0;
  SheetActivateEvent sheet_activate_;
};

}  // namespace orv
