#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "shell/outside/base/StringPool.h"
#include "shell/outside/xlsx/CellValue.h"

namespace orv {

// The cells of one sheet, about 12 bytes a cell: columns of 64-row blocks, short texts kept in the
// cell itself, longer ones in a pool, shared strings by index. Cells set after loading are marked
// changed, so that saving merges exactly those into the sheet's XML.
class SheetCells {
 public:
  explicit SheetCells(const StringPool& shared_strings) : shared_strings_(shared_strings) {}

  // How many shared strings the workbook has: LoadShared takes an index below it.
  std::size_t SharedStringCount() const { return shared_strings_.Size(); }
  // Loading from the file (not marked changed).
  void LoadNumber(std::uint32_t row, std::uint32_t column, double value, bool date);
  void LoadShared(std::uint32_t row, std::uint32_t column, std::uint32_t index);
  void LoadText(std::uint32_t row, std::uint32_t column, std::string_view text);
  void LoadBoolean(std::uint32_t row, std::uint32_t column, bool value);
  void LoadError(std::uint32_t row, std::uint32_t column, std::string_view text);

  CellValue Get(std::uint32_t row, std::uint32_t column) const;
  void Set(std::uint32_t row, std::uint32_t column, const CellValue& value);
  bool IsChanged(std::uint32_t row, std::uint32_t column) const;
  bool HasChanges() const { return !changed_columns_.empty(); }
  void ForgetChanges();

  struct Bounds {
    std::uint32_t first_row = 0, last_row = 0, first_column = 0, last_column = 0;
  };
  // nullopt when the sheet holds no cell.
  std::optional<Bounds> Extent() const { return extent_; }

  // Walks the changed cells row by row, in ascending order.
  class ChangeCursor {
   public:
    explicit ChangeCursor(const SheetCells& cells);
    // The next row with changes, nullopt at the end.
    std::optional<std::uint32_t> Row() const { return row_; }
    // Its changed columns, ascending.
    const std::vector<std::uint32_t>& Columns() const { return columns_; }
    void Advance();

   private:
    void Seek(std::uint32_t from_row);
    const SheetCells& cells_;
    std::vector<std::uint32_t> blocks_;
    std::vector<std::uint32_t> changed_columns_;
    std::size_t block_position_ = 0;
    std::optional<std::uint32_t> row_;
    std::vector<std::uint32_t> columns_;
  };

 private:
  static constexpr std::uint32_t kBlockShift = 6;
  static constexpr std::uint32_t kBlockRows = 1u << kBlockShift;
  enum SlotKind : std::uint8_t {
    kEmpty,
    kNumber,
    kShortText,
    kPoolText,
    kSharedText,
    kBoolean,
    kError
  };
  enum SlotFlags : std::uint8_t { kChanged = 1, kDate = 2 };
  struct Slot {
    std::uint8_t kind = kEmpty;
    std::uint8_t length = 0;
    std::uint8_t flags = 0;
    std::uint8_t spare = 0;
    std::uint32_t low = 0;
    std::uint32_t high = 0;
  };
  using Block = std::array<Slot, kBlockRows>;
  struct Column {
    // By block number (row / kBlockRows); null where no cell of the column was ever placed.
    std::vector<std::unique_ptr<Block>> blocks;
  };

  const Slot* Find(std::uint32_t row, std::uint32_t column) const;
  Slot& Place(std::uint32_t row, std::uint32_t column);
  void StoreText(Slot& slot, std::string_view text, SlotKind long_kind);
  void Grow(std::uint32_t row, std::uint32_t column);

  const StringPool& shared_strings_;
  StringPool pool_;
  std::vector<Column> columns_;
  std::set<std::uint32_t> changed_columns_;
  std::set<std::uint32_t> changed_blocks_;
  std::uint32_t last_changed_block_ = UINT32_MAX;
  std::optional<Bounds> extent_;
};

}  // namespace orv
