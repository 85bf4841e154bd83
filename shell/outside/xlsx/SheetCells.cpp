#include "shell/outside/xlsx/SheetCells.h"

#include <algorithm>
#include <cstring>

namespace orv {

const SheetCells::Slot* SheetCells::Find(std::uint32_t row, std::uint32_t column) const {
  if (column == 0 || column > columns_.size()) return nullptr;
  const auto& blocks = columns_[column - 1].blocks;
  const std::size_t block = row >> kBlockShift;
  if (block >= blocks.size() || !blocks[block]) return nullptr;
  return &(*blocks[block])[row & (kBlockRows - 1)];
}

SheetCells::Slot& SheetCells::Place(std::uint32_t row, std::uint32_t column) {
  if (column > columns_.size()) columns_.resize(column);
  auto& blocks = columns_[column - 1].blocks;
  const std::size_t index = row >> kBlockShift;
  if (index >= blocks.size()) blocks.resize(index + 1);
  auto& block = blocks[index];
  if (!block) block = std::make_unique<Block>();
  return (*block)[row & (kBlockRows - 1)];
}

void SheetCells::Grow(std::uint32_t row, std::uint32_t column) {
  if (!extent_) {
    extent_ = Bounds{row, row, column, column};
    return;
  }
  extent_->first_row = std::min(extent_->first_row, row);
  extent_->last_row = std::max(extent_->last_row, row);
  extent_->first_column = std::min(extent_->first_column, column);
  extent_->last_column = std::max(extent_->last_column, column);
}

void SheetCells::StoreText(Slot& slot, std::string_view text, SlotKind long_kind) {
  if (long_kind == kPoolText && text.size() <= 8) {
    slot.kind = kShortText;
    slot.length = static_cast<std::uint8_t>(text.size());
    char bytes[8] = {};
    std::memcpy(bytes, text.data(), text.size());
    std::memcpy(&slot.low, bytes, 4);
    std::memcpy(&slot.high, bytes + 4, 4);
    return;
  }
  slot.kind = long_kind;
  slot.low = pool_.Add(text);
}

void SheetCells::LoadNumber(std::uint32_t row, std::uint32_t column, double value, bool date) {
  auto& slot = Place(row, column);
  slot.kind = kNumber;
  slot.flags = date ? kDate : 0;
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  slot.low = static_cast<std::uint32_t>(bits);
  slot.high = static_cast<std::uint32_t>(bits >> 32);
  Grow(row, column);
}

void SheetCells::LoadShared(std::uint32_t row, std::uint32_t column, std::uint32_t index) {
  auto& slot = Place(row, column);
  slot.kind = kSharedText;
  slot.low = index;
  Grow(row, column);
}

void SheetCells::LoadText(std::uint32_t row, std::uint32_t column, std::string_view text) {
  StoreText(Place(row, column), text, kPoolText);
  Grow(row, column);
}

void SheetCells::LoadBoolean(std::uint32_t row, std::uint32_t column, bool value) {
  auto& slot = Place(row, column);
  slot.kind = kBoolean;
  slot.low = value ? 1 : 0;
  Grow(row, column);
}

void SheetCells::LoadError(std::uint32_t row, std::uint32_t column, std::string_view text) {
  StoreText(Place(row, column), text, kError);
  Grow(row, column);
}

CellValue SheetCells::Get(std::uint32_t row, std::uint32_t column) const {
  const Slot* slot = Find(row, column);
  if (slot == nullptr) return {};
  switch (slot->kind) {
    case kNumber: {
      std::uint64_t bits = (std::uint64_t{slot->high} << 32) | slot->low;
      double value;
      std::memcpy(&value, &bits, 8);
      return CellValue::Number(value, (slot->flags & kDate) != 0);
    }
    case kShortText: {
      char bytes[8];
      std::memcpy(bytes, &slot->low, 4);
      std::memcpy(bytes + 4, &slot->high, 4);
      return CellValue::Text(std::string(bytes, slot->length));
    }
    case kPoolText:
      return CellValue::Text(std::string(pool_.Get(slot->low)));
    case kSharedText:
      if (slot->low >= shared_strings_.Size()) return CellValue::Text({});
      return CellValue::Text(std::string(shared_strings_.Get(slot->low)));
    case kBoolean:
      return CellValue::Boolean(slot->low != 0);
    case kError: {
      CellValue error;
      error.kind = CellValue::kError;
      error.text = pool_.Get(slot->low);
      return error;
    }
    default:
      return {};
  }
}

void SheetCells::Set(std::uint32_t row, std::uint32_t column, const CellValue& value) {
  if (value.kind == CellValue::kEmpty) {
    const Slot* existing = Find(row, column);
    if (existing == nullptr || existing->kind == kEmpty) {
      if (existing == nullptr || (existing->flags & kChanged) == 0) return;
    }
  }
  auto& slot = Place(row, column);
  slot = Slot{};
  switch (value.kind) {
    case CellValue::kNumber:
      LoadNumber(row, column, value.number, value.date);
      break;
    case CellValue::kText:
      StoreText(slot, value.text, kPoolText);
      Grow(row, column);
      break;
    case CellValue::kBoolean:
      LoadBoolean(row, column, value.number != 0);
      break;
    case CellValue::kError:
      LoadError(row, column, value.text);
      break;
    case CellValue::kEmpty:
      break;
  }
  slot.flags |= kChanged;
  changed_columns_.insert(column);
  auto block = row >> kBlockShift;
  if (block != last_changed_block_) {
    changed_blocks_.insert(block);
    last_changed_block_ = block;
  }
}

bool SheetCells::IsChanged(std::uint32_t row, std::uint32_t column) const {
  const Slot* slot = Find(row, column);
  return slot != nullptr && (slot->flags & kChanged) != 0;
}

void SheetCells::ForgetChanges() {
  for (auto column : changed_columns_) {
    for (auto& block : columns_[column - 1].blocks) {
      if (!block) continue;
      for (auto& slot : *block) slot.flags &= static_cast<std::uint8_t>(~kChanged);
    }
  }
  changed_columns_.clear();
  changed_blocks_.clear();
  last_changed_block_ = UINT32_MAX;
}

SheetCells::ChangeCursor::ChangeCursor(const SheetCells& cells)
    : cells_(cells),
      blocks_(cells.changed_blocks_.begin(), cells.changed_blocks_.end()),
      changed_columns_(cells.changed_columns_.begin(), cells.changed_columns_.end()) {
  Seek(0);
}

void SheetCells::ChangeCursor::Advance() {
  if (row_) Seek(*row_ + 1);
}

void SheetCells::ChangeCursor::Seek(std::uint32_t from_row) {
  row_.reset();
  columns_.clear();
  for (; block_position_ < blocks_.size(); ++block_position_) {
    std::uint32_t first = blocks_[block_position_] << kBlockShift;
    std::uint32_t last = first + kBlockRows - 1;
    for (std::uint32_t row = std::max(first, from_row); row <= last; ++row) {
      for (auto column : changed_columns_) {
        if (cells_.IsChanged(row, column)) columns_.push_back(column);
      }
      if (!columns_.empty()) {
        row_ = row;
        return;
      }
    }
  }
}

}  // namespace orv
