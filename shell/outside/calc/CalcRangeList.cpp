#include "shell/outside/calc/CalcRangeList.h"

#include <algorithm>

#include "shell/outside/base/FieldSource.h"
#include "shell/outside/calc/CalcCallbacks.h"
#include "shell/outside/calc/CalcCells.h"
#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/CellReading.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/RangeNames.h"
#include "shell/outside/xlsx/SheetDocument.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"

namespace orv {

CalcRangeList::CalcRangeList(const CalcCallbacks& host, std::shared_ptr<CalcCells> cells,
                             std::shared_ptr<SheetDocument> document)
    : host_(host), cells_(std::move(cells)), document_(std::move(document)) {}

void CalcRangeList::Forget() {
  areas_.clear();
  shortest_column_.reset();
}

void CalcRangeList::ClearDefinitions() {
  definitions_.Clear();
  Forget();
}

RangeDefinition& CalcRangeList::DefineRange(std::string name, std::int32_t layout,
                                            std::int32_t data_type, std::int32_t reserved4,
                                            std::int32_t reserved5, std::string description,
                                            std::int32_t length, std::int16_t reserved8,
                                            std::string reserved9, bool browse,
                                            std::string browse_kind, std::string reserved12) {
  areas_.erase(name);  // the layout decides whether it is a header cell
  shortest_column_.reset();
  return definitions_.Define(std::move(name), layout, data_type, reserved4, reserved5,
                             std::move(description), length, reserved8, std::move(reserved9),
                             browse, std::move(browse_kind), std::move(reserved12));
}

void CalcRangeList::SetActiveSheet(std::shared_ptr<Worksheet>) { Forget(); }

const CalcRangeList::Found* CalcRangeList::Find(std::string_view name) const {
  auto known = areas_.find(name);
  if (known == areas_.end()) {
    std::optional<Found> found;
    for (const auto& stored : RangeNames::StoredNames(name)) {
      if (auto area = host_.FindRange(stored)) {
        const auto* definition = Definition(name);
        bool one_cell =
            area->first_row == area->last_row && area->first_column == area->last_column;
        found = Found{*area, stored,
                      definition ? definition->layout == RangeDefinition::kHeaderCell : one_cell};
        break;
      }
    }
    known = areas_.emplace(std::string(name), std::move(found)).first;
  }
  return known->second ? &*known->second : nullptr;
}

bool CalcRangeList::RangeExists(std::string_view name) const { return Find(name) != nullptr; }

std::int32_t CalcRangeList::RangeRowCount(std::string_view name) const {
  const Found* found = Find(name);
  return found ? found->area.last_row - found->area.first_row + 1 : 0;
}

std::optional<Range> CalcRangeList::GetRange(std::string_view name) const {
  const Found* found = Find(name);
  if (!found) return std::nullopt;
  const OrvCalcArea& a = found->area;
  auto sheet = std::make_shared<Worksheet>(document_, static_cast<std::size_t>(a.sheet));
  return Range(sheet, static_cast<std::uint32_t>(a.first_row),
               static_cast<std::uint32_t>(a.first_column), static_cast<std::uint32_t>(a.last_row),
               static_cast<std::uint32_t>(a.last_column));
}

std::optional<std::string> CalcRangeList::GrowthBlocker(std::string_view name,
                                                        const OrvCalcArea& area,
                                                        std::int64_t last_row) const {
  if (last_row > CellAddress::kMaxRow)
    return "the sheet ends at row " + std::to_string(CellAddress::kMaxRow);
  for (auto row = static_cast<std::int32_t>(area.last_row) + 1; row <= last_row; ++row) {
    for (auto column = area.first_column; column <= area.last_column; ++column) {
      std::string cell =
          CellAddress::ColumnLetters(static_cast<std::uint32_t>(column)) + std::to_string(row);
      if (!cells_->Get({area.sheet, row, column, row, column}, row).IsBlank())
        return "cannot grow over " + cell + ", which is not empty";
      // A cell of another range is not free, even when empty.
      for (const auto& definition : definitions_.All()) {
        if (RangeNames::Same(definition->name, name)) continue;
        const Found* other = Find(definition->name);
        if (other && other->area.sheet == area.sheet && row >= other->area.first_row &&
            row <= other->area.last_row && column >= other->area.first_column &&
            column <= other->area.last_column)
          return "cannot grow over " + cell + ", which belongs to range '" + definition->name + "'";
      }
    }
  }
  return std::nullopt;
}

std::optional<std::string> CalcRangeList::RowBlocker(std::int32_t row) const {
  if (row < 1) return std::nullopt;
  if (!shortest_column_) {
    std::int32_t shortest = CellAddress::kMaxRow;
    for (const auto& definition : definitions_.All()) {
      const Found* found =
          definition->layout == RangeDefinition::kColumn ? Find(definition->name) : nullptr;
      if (found && !found->header)
        shortest = std::min(shortest, found->area.last_row - found->area.first_row + 1);
    }
    shortest_column_ = shortest;
  }
  if (row <= *shortest_column_) return std::nullopt;
  for (const auto& definition : definitions_.All()) {
    if (definition->layout != RangeDefinition::kColumn) continue;
    const Found* found = Find(definition->name);
    if (!found || found->header) continue;
    std::int64_t absolute = std::int64_t{found->area.first_row} + row - 1;
    if (absolute <= found->area.last_row) continue;
    if (auto blocker = GrowthBlocker(definition->name, found->area, absolute))
      return "range '" + definition->name + "' " + *blocker;
  }
  return std::nullopt;
}

std::optional<std::pair<OrvCalcArea, std::int32_t>> CalcRangeList::Locate(std::string_view name,
                                                                          std::int32_t row,
                                                                          bool for_write) {
  const Found* found = Find(name);
  if (!found) return std::nullopt;
  OrvCalcArea column = found->area;
  column.last_column = column.first_column;
  if (found->header) {
    column.last_row = column.first_row;
    return std::make_pair(column, column.first_row);
  }
  if (row < 1) {
    throw AppError(kRangeRowError, "",
                   "Range '" + std::string(name) + "': row " + std::to_string(row) +
                       " is not a row of the range (rows count from 1)");
  }
  std::int64_t absolute = std::int64_t{column.first_row} + row - 1;
  if (absolute > column.last_row) {
    if (!for_write) return std::nullopt;
    if (auto blocker = GrowthBlocker(name, found->area, absolute)) {
      throw AppError(kRangeRowError, "",
                     "Range '" + std::string(name) + "': row " + std::to_string(row) +
                         " lies beyond its " + std::to_string(RangeRowCount(name)) + " rows and " +
                         *blocker);
    }
    host_.GrowRange(found->stored_name, static_cast<std::int32_t>(absolute));
    if (auto grown = areas_.find(name); grown != areas_.end()) areas_.erase(grown);
    shortest_column_.reset();
    return Locate(name, row, for_write);
  }
  return std::make_pair(column, static_cast<std::int32_t>(absolute));
}

std::optional<CellValue> CalcRangeList::Read(std::string_view name, std::int32_t row) {
  auto cell = Locate(name, row, false);
  if (!cell) return std::nullopt;
  return cells_->Get(cell->first, cell->second);
}

std::string CalcRangeList::GetCellValue(std::string_view name, std::int32_t& row, bool& present) {
  present = false;
  auto value = Read(name, row);
  if (!value) return {};
  if (value->IsBlank()) {
    present = include_blank_cells_;
    return {};
  }
  present = true;
  return Range::TextOf(*value, host_.Date1904());
}

double CalcRangeList::GetCellNumber(std::string_view name, std::int32_t& row, bool& present) {
  present = false;
  auto value = Read(name, row);
  if (!value) return 0;
  if (CellReading::IsBlank(*value)) {
    present = include_blank_cells_;
    return 0;
  }
  double number = CellReading::Number(*value, name, row);
  present = true;
  return number;
}

OleDate CalcRangeList::GetCellDate(std::string_view name, std::int32_t& row, bool& present) {
  present = false;
  auto value = Read(name, row);
  if (!value) return {};
  if (CellReading::IsBlank(*value)) {
    present = include_blank_cells_;
    return {};
  }
  OleDate date = CellReading::Date(*value, host_.Date1904(), name, row);
  present = true;
  return date;
}

void CalcRangeList::Write(std::string_view name, std::int32_t row, const Variant& value) {
  auto cell = Locate(name, row, true);
  if (!cell) return;
  cells_->Set(cell->first, cell->second, Range::CellFromVariant(value, host_.Date1904()));
}

void CalcRangeList::SetCellValue(std::string_view name, std::string_view text, std::int32_t row) {
  Write(name, row, Variant(std::string(text)));
}

void CalcRangeList::SetCellNumber(std::string_view name, double number, std::int32_t row) {
  Write(name, row, Variant(number));
}

void CalcRangeList::CopyFieldToCell(const FieldSource& record, std::string_view name,
                                    std::string_view column, std::int32_t row) {
  if (!Find(name)) return;
  Write(name, row, record.Field(column));
}

bool CalcRangeList::Holds(const Range& cell) const {
  return &cell.Sheet().Document() == document_.get();
}

RangeList::CellPosition CalcRangeList::RowOfCell(const Range& cell) const {
  CellPosition position;
  if (!Holds(cell)) return position;
  for (const auto& definition : definitions_.All()) {
    const Found* found = Find(definition->name);
    if (!found) continue;
    const OrvCalcArea& area = found->area;
    auto row = static_cast<std::int32_t>(cell.Row());
    auto column = static_cast<std::int32_t>(cell.Column());
    if (area.sheet != static_cast<std::int32_t>(cell.Sheet().Index()) || row < area.first_row ||
        row > area.last_row || column < area.first_column || column > area.last_column)
      continue;
    position.ok = true;
    position.row = found->header ? 1 : row - area.first_row + 1;
    position.definition = definition.get();
    return position;
  }
  return position;
}

std::string CalcRangeList::RangeNameOfCell(const Range& cell) const {
  auto position = RowOfCell(cell);
  return position.ok ? position.definition->name : std::string();
}

bool CalcRangeList::CellInRange(std::string_view name, const Range& cell) const {
  return IndexInRange(cell, name) > 0;
}

std::int32_t CalcRangeList::IndexInRange(const Range& cell, std::string_view name) const {
  if (!Holds(cell)) return -1;
  const Found* found = Find(name);
  if (!found) return -1;
  const OrvCalcArea& area = found->area;
  auto row = static_cast<std::int32_t>(cell.Row());
  auto column = static_cast<std::int32_t>(cell.Column());
  if (area.sheet != static_cast<std::int32_t>(cell.Sheet().Index()) || row < area.first_row ||
      row > area.last_row || column < area.first_column || column > area.last_column)
    return -1;
  return row - area.first_row + 1;
}

void CalcRangeList::ClearRanges(bool, std::int32_t, std::int32_t) {
  if (!confirm_clear_)
    throw AppError(kClearNotConfirmed, "",
                   "The ranges were not cleared: clearing was not confirmed");
  confirm_clear_ = false;
  for (const auto& definition : definitions_.All()) {
    if (definition->layout != RangeDefinition::kColumn) continue;
    const Found* found = Find(definition->name);
    if (!found || found->header) continue;
    cells_->Clear(found->area);
  }
}

}  // namespace orv
