#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "shell/outside/xlsx/SheetDocument.h"

namespace orv {

class Range;

// One sheet of a workbook. Ranges keep their sheet (and so the file's cells) alive.
class Worksheet : public std::enable_shared_from_this<Worksheet> {
 public:
  Worksheet(std::shared_ptr<SheetDocument> document, std::size_t index)
      : document_(std::move(document)), index_(index) {}

  const std::string& Name() const { return document_->SheetName(index_); }
  std::size_t Index() const { return index_; }
  SheetDocument& Document() const { return *document_; }

  Range Cells(std::uint32_t row, std::uint32_t column);
  // "B5" or "B2:B10"; AppError for anything else.
  Range At(std::string_view address);
  // The cell the cursor is on: for a file, where the user left it when saving (A1 when none is
  // recorded).
  Range SavedActiveCell();

 private:
  std::shared_ptr<SheetDocument> document_;
  std::size_t index_;
};

}  // namespace orv
