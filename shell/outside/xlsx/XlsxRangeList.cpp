#include "shell/outside/xlsx/XlsxRangeList.h"

#include <algorithm>

#include "shell/outside/base/FieldSource.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/AreaReference.h"
#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/CellReading.h"
#include "shell/outside/xlsx/RangeNames.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"
#include "shell/outside/xlsx/XmlText.h"

namespace orv {
XlsxRangeList::XlsxRangeList(std::shared_ptr<Workbook> workbook) : workbook_(std::move(workbook)) {}

void XlsxRangeList::SetWorkbook(std::shared_ptr<Workbook> workbook) {
  workbook_ = std::move(workbook);
  active_sheet_.reset();
  ForgetBindings();
}

void XlsxRangeList::SetActiveSheet(std::shared_ptr<Worksheet> sheet) {
  active_sheet_ = std::move(sheet);
  ForgetBindings();
}

std::optional<std::string> XlsxRangeList::OwnerProgId(const Workbook& workbook) {
  return workbook.Document().CustomProperty(kOwnerProperty);
}

std::int32_t XlsxRangeList::RangeCount() const { return definitions_.Count(); }

void XlsxRangeList::ClearDefinitions() {
  definitions_.Clear();
  ForgetBindings();
  definition_complete_ = false;
}

RangeDefinition& XlsxRangeList::DefineRange(std::string name, std::int32_t layout,
                                            std::int32_t data_type, std::int32_t reserved4,
                                            std::int32_t reserved5, std::string description,
                                            std::int32_t length, std::int16_t reserved8,
                                            std::string reserved9, bool browse,
                                            std::string browse_kind, std::string reserved12) {
  ForgetBindings();
  return definitions_.Define(std::move(name), layout, data_type, reserved4, reserved5,
                             std::move(description), length, reserved8, std::move(reserved9),
                             browse, std::move(browse_kind), std::move(reserved12));
}

const RangeDefinition* XlsxRangeList::Definition(std::string_view name) const {
  return definitions_.Find(name);
}

const XlsxRangeList::Binding& XlsxRangeList::Bind(std::string_view name) const {
  if (auto found = bindings_.find(name); found != bindings_.end()) return found->second;
  Binding binding;
  if (workbook_) {
    for (const auto& stored : RangeNames::StoredNames(name)) {
      auto area = workbook_->NamedRange(stored, active_sheet_.get());
      if (!area) continue;
      binding.present = true;
      binding.sheet = area->Sheet().Index();
      binding.first_row = area->Row();
      binding.last_row = area->LastRow();
      binding.column = area->Column();
      binding.last_column = area->LastColumn();
      const auto* definition = Definition(name);
      binding.header = definition != nullptr ? definition->layout == RangeDefinition::kHeaderCell
                                             : area->RowCount() == 1 && area->ColumnCount() == 1;
      bool local = std::none_of(
          workbook_->Names().begin(), workbook_->Names().end(),
          [&](const auto& n) { return !n.local_sheet && RangeNames::Same(n.name, stored); });
      if (local && active_sheet_) binding.local_sheet = active_sheet_->Index();
      binding.stored_name = stored;
      break;
    }
  }
  return bindings_.emplace(std::string(name), std::move(binding)).first->second;
}

std::optional<std::pair<std::size_t, std::pair<std::uint32_t, std::uint32_t>>>
XlsxRangeList::Locate(std::string_view name, std::int32_t row, bool for_write) {
  const auto& binding = Bind(name);
  if (!binding.present) return std::nullopt;
  if (binding.header)
    return std::make_pair(binding.sheet, std::make_pair(binding.first_row, binding.column));
  if (row < 1) {
    throw AppError(kRangeRowError, "",
                   "Range '" + std::string(name) + "': row " + std::to_string(row) +
                       " is not a row of the range (rows count from 1)");
  }
  std::uint64_t absolute = std::uint64_t{binding.first_row} + static_cast<std::uint64_t>(row) - 1;
  if (absolute <= binding.last_row) {
    return std::make_pair(binding.sheet,
                          std::make_pair(static_cast<std::uint32_t>(absolute), binding.column));
  }
  if (!for_write) return std::nullopt;
  if (auto blocker = GrowthBlocker(name, binding, absolute)) {
    throw AppError(
        kRangeRowError, "",
        "Range '" + std::string(name) + "': row " + std::to_string(row) + " lies beyond its " +
            std::to_string(binding.last_row - binding.first_row + 1) + " rows and " + *blocker);
  }
  const auto sheet = binding.sheet;
  const auto column = binding.column;
  AreaReference area{workbook_->Sheet(sheet)->Name(), binding.first_row, column,
                     static_cast<std::uint32_t>(absolute), binding.last_column};
  const std::string stored = binding.stored_name;
  const auto local_sheet = binding.local_sheet;
  workbook_->Document().SetDefinedName(stored, area.ToFormula(), local_sheet);
  // Every spelling bound to this name now ends at the new row; the other bindings stand.
  for (auto& [bound_name, bound] : bindings_)
    if (bound.present && bound.stored_name == stored && bound.local_sheet == local_sheet)
      bound.last_row = static_cast<std::uint32_t>(absolute);
  shortest_column_.reset();
  return std::make_pair(sheet, std::make_pair(static_cast<std::uint32_t>(absolute), column));
}

void XlsxRangeList::ForgetBindings() const {
  bindings_.clear();
  shortest_column_.reset();
}

std::optional<std::string> XlsxRangeList::GrowthBlocker(std::string_view name,
                                                        const Binding& binding,
                                                        std::uint64_t absolute) const {
  if (absolute > CellAddress::kMaxRow)
    return "the sheet ends at row " + std::to_string(CellAddress::kMaxRow);
  auto& document = workbook_->Document();
  for (auto row = std::uint64_t{binding.last_row} + 1; row <= absolute; ++row) {
    for (auto column = binding.column; column <= binding.last_column; ++column) {
      const auto at = static_cast<std::uint32_t>(row);
      std::string cell = CellAddress::ColumnLetters(column) + std::to_string(at);
      auto value = document.Cell(binding.sheet, at, column);
      if (!value.IsBlank()) return "cannot grow over " + cell + ", which is not empty";
      // A cell of another range is not free, even when empty.
      for (const auto& definition : definitions_.All()) {
        if (RangeNames::Same(definition->name, name)) continue;
        const Binding* other = nullptr;
        try {
          other = &Bind(definition->name);
        } catch (const AppError&) {
          continue;  // a name the workbook cannot resolve holds no cell
        }
        if (other->present && other->sheet == binding.sheet && at >= other->first_row &&
            at <= other->last_row && column >= other->column && column <= other->last_column)
          return "cannot grow over " + cell + ", which belongs to range '" + definition->name + "'";
      }
    }
  }
  return std::nullopt;
}

std::optional<std::string> XlsxRangeList::RowBlocker(std::int32_t row) const {
  if (!workbook_ || row < 1) return std::nullopt;
  if (!shortest_column_) {
    std::uint64_t shortest = CellAddress::kMaxRow;
    for (const auto& definition : definitions_.All()) {
      if (definition->layout != RangeDefinition::kColumn) continue;
      try {
        const auto& binding = Bind(definition->name);
        if (binding.present && !binding.header)
          shortest = std::min<std::uint64_t>(shortest, binding.last_row - binding.first_row + 1);
      } catch (const AppError&) {
      }
    }
    shortest_column_ = shortest;
  }
  if (static_cast<std::uint64_t>(row) <= *shortest_column_) return std::nullopt;
  for (const auto& definition : definitions_.All()) {
    if (definition->layout != RangeDefinition::kColumn) continue;
    const Binding* binding = nullptr;
    try {
      binding = &Bind(definition->name);
    } catch (const AppError&) {
      continue;
    }
    if (!binding->present || binding->header) continue;
    auto absolute = std::uint64_t{binding->first_row} + static_cast<std::uint64_t>(row) - 1;
    if (absolute <= binding->last_row) continue;
    if (auto blocker = GrowthBlocker(definition->name, *binding, absolute))
      return "range '" + definition->name + "' " + *blocker;
  }
  return std::nullopt;
}

bool XlsxRangeList::RangeExists(std::string_view name) const {
  if (!workbook_) return false;
  for (const auto& stored : RangeNames::StoredNames(name)) {
    for (const auto& defined : workbook_->Names()) {
      if (RangeNames::Same(defined.name, stored) &&
          (!defined.local_sheet ||
           (active_sheet_ && *defined.local_sheet == active_sheet_->Index()))) {
        return true;
      }
    }
  }
  return false;
}

std::int32_t XlsxRangeList::RangeRowCount(std::string_view name) const {
  const auto& binding = Bind(name);
  if (!binding.present) return 0;
  return static_cast<std::int32_t>(binding.last_row - binding.first_row + 1);
}

std::optional<Range> XlsxRangeList::GetRange(std::string_view name) const {
  const auto& binding = Bind(name);
  if (!binding.present) return std::nullopt;
  return Range(workbook_->Sheet(binding.sheet), binding.first_row, binding.column, binding.last_row,
               binding.last_column);
}

std::string XlsxRangeList::GetCellValue(std::string_view name, std::int32_t& row, bool& present) {
  present = false;
  auto cell = Locate(name, row, false);
  if (!cell) return {};
  auto& document = workbook_->Document();
  auto value = document.Cell(cell->first, cell->second.first, cell->second.second);
  if (value.IsBlank()) {
    present = include_blank_cells_;
    return {};
  }
  present = true;
  return Range::TextOf(value, document.Date1904());
}

double XlsxRangeList::GetCellNumber(std::string_view name, std::int32_t& row, bool& present) {
  present = false;
  auto cell = Locate(name, row, false);
  if (!cell) return 0;
  auto value = workbook_->Document().Cell(cell->first, cell->second.first, cell->second.second);
  if (CellReading::IsBlank(value)) {
    present = include_blank_cells_;
    return 0;
  }
  double number = CellReading::Number(value, name, row);
  present = true;
  return number;
}

OleDate XlsxRangeList::GetCellDate(std::string_view name, std::int32_t& row, bool& present) {
  present = false;
  auto cell = Locate(name, row, false);
  if (!cell) return {};
  auto& document = workbook_->Document();
  auto value = document.Cell(cell->first, cell->second.first, cell->second.second);
  if (CellReading::IsBlank(value)) {
    present = include_blank_cells_;
    return {};
  }
  OleDate date = CellReading::Date(value, document.Date1904(), name, row);
  present = true;
  return date;
}

void XlsxRangeList::Write(std::string_view name, std::int32_t row, const Variant& value) {
  auto cell = Locate(name, row, true);
  if (!cell) return;
  auto& document = workbook_->Document();
  auto content = Range::CellFromVariant(value, document.Date1904());
  if (content.kind == CellValue::kText && !XmlText::IsCellText(content.text)) {
    content.text = XmlText::Repaired(content.text);
    text_repairs_.push_back({std::string(name), row});
  }
  document.SetCell(cell->first, cell->second.first, cell->second.second, content);
}

void XlsxRangeList::SetCellValue(std::string_view name, std::string_view text, std::int32_t row) {
  Write(name, row, Variant(std::string(text)));
}

void XlsxRangeList::SetCellNumber(std::string_view name, double number, std::int32_t row) {
  Write(name, row, Variant(number));
}

void XlsxRangeList::CopyFieldToCell(const FieldSource& record, std::string_view name,
                                    std::string_view column, std::int32_t row) {
  if (!Bind(name).present) return;
  auto value = record.Field(column);
  Write(name, row, value);
}

XlsxRangeList::CellPosition XlsxRangeList::RowOfCell(const Range& cell) const {
  CellPosition position;
  if (!workbook_ || &cell.Sheet().Document() != &workbook_->Document()) return position;
  for (const auto& definition : definitions_.All()) {
    const Binding* binding = nullptr;
    try {
      binding = &Bind(definition->name);
    } catch (const AppError&) {
      continue;  // a name the workbook cannot resolve holds no cell
    }
    if (!binding->present || binding->sheet != cell.Sheet().Index()) continue;
    if (cell.Row() < binding->first_row || cell.Row() > binding->last_row ||
        cell.Column() < binding->column || cell.Column() > binding->last_column) {
      continue;
    }
    position.ok = true;
    position.row =
        binding->header ? 1 : static_cast<std::int32_t>(cell.Row() - binding->first_row + 1);
    position.definition = definition.get();
    return position;
  }
  return position;
}

std::string XlsxRangeList::RangeNameOfCell(const Range& cell) const {
  auto position = RowOfCell(cell);
  return position.ok ? position.definition->name : std::string();
}

bool XlsxRangeList::CellInRange(std::string_view name, const Range& cell) const {
  return IndexInRange(cell, name) > 0;
}

std::int32_t XlsxRangeList::IndexInRange(const Range& cell, std::string_view name) const {
  if (!workbook_ || &cell.Sheet().Document() != &workbook_->Document()) return -1;
  const auto& binding = Bind(name);
  if (!binding.present || binding.sheet != cell.Sheet().Index() || cell.Row() < binding.first_row ||
      cell.Row() > binding.last_row || cell.Column() < binding.column ||
      cell.Column() > binding.last_column) {
    return -1;
  }
  return static_cast<std::int32_t>(cell.Row() - binding.first_row + 1);
}

void XlsxRangeList::ClearRanges(bool, std::int32_t, std::int32_t) {
  if (!confirm_clear_) {
    throw AppError(kClearNotConfirmed, "",
                   "The ranges were not cleared: clearing was not confirmed");
  }
  confirm_clear_ = false;
  if (!workbook_) return;
  auto& document = workbook_->Document();
  for (const auto& definition : definitions_.All()) {
    if (definition->layout != RangeDefinition::kColumn) continue;
    const auto& binding = Bind(definition->name);
    if (!binding.present || binding.header) continue;
    auto& cells = document.Cells(binding.sheet);
    auto extent = cells.Extent();
    if (!extent) continue;
    auto last_row = std::min(binding.last_row, extent->last_row);
    auto last_column = std::min(binding.last_column, extent->last_column);
    for (auto row = binding.first_row; row <= last_row; ++row) {
      for (auto column = binding.column; column <= last_column; ++column)
        cells.Set(row, column, CellValue{});
    }
  }
}

void XlsxRangeList::AddRanges(Application& application, std::string_view prog_id, bool) {
  if (!workbook_) SetWorkbook(application.ActiveWorkbook());
  workbook_->Document().SetCustomProperty(kOwnerProperty, prog_id);
}

}  // namespace orv
