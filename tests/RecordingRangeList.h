#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/FieldSource.h"
#include "shell/outside/xlsx/RangeList.h"

namespace orv::test {

// An in-memory range list that logs every call made on it. The workbook side is a map of range
// name to cells by row; a range the workbook lacks reads as not present and ignores writes.
class RecordingRangeList : public RangeList {
 public:
  mutable std::vector<std::string> calls;
  std::string fail_on_define;                // DefineRange of this name raises
  std::vector<std::string> workbook_ranges;  // names the "workbook" carries, in creation order
  std::map<std::string, std::map<std::int32_t, Variant>, std::less<>> cells;

  void AddWorkbookRange(std::string name) {
    workbook_ranges.push_back(name);
    cells[name];
  }
  void PutCell(const std::string& name, std::int32_t row, Variant value) {
    if (!cells.count(name)) AddWorkbookRange(name);
    cells[name][row] = std::move(value);
  }
  const Variant* Cell(std::string_view name, std::int32_t row) const {
    auto range = cells.find(name);
    if (range == cells.end()) return nullptr;
    auto cell = range->second.find(row);
    return cell == range->second.end() ? nullptr : &cell->second;
  }
  // Definitions made so far, with the state they ended in.
  std::vector<RangeDefinition> Defined() const {
    std::vector<RangeDefinition> out;
    for (const auto& definition : definitions_) out.push_back(*definition);
    return out;
  }

  std::int32_t RangeCount() const override {
    calls.push_back("RangeCount");
    return static_cast<std::int32_t>(definitions_.size());
  }
  std::vector<RangeGroup>& RangeGroups() override {
    calls.push_back("RangeGroups");
    return groups_;
  }
  void ClearDefinitions() override {
    calls.push_back("ClearDefinitions");
    definitions_.clear();
  }
  RangeDefinition& DefineRange(std::string name, std::int32_t layout, std::int32_t data_type,
                               std::int32_t reserved4, std::int32_t reserved5,
                               std::string description, std::int32_t length, std::int16_t reserved8,
                               std::string reserved9, bool browse, std::string browse_kind,
                               std::string reserved12) override {
    calls.push_back("DefineRange " + name);
    if (name == fail_on_define) throw AppError(vbObjectError + 1, "", "host refused " + name);
    auto definition = std::make_unique<RangeDefinition>();
    definition->name = std::move(name);
    definition->layout = layout;
    definition->data_type = data_type;
    definition->reserved4 = reserved4;
    definition->reserved5 = reserved5;
    definition->description = std::move(description);
    definition->length = length;
    definition->reserved8 = reserved8;
    definition->reserved9 = std::move(reserved9);
    definition->browse = browse;
    definition->browse_kind = std::move(browse_kind);
    definition->reserved12 = std::move(reserved12);
    definitions_.push_back(std::move(definition));
    return *definitions_.back();
  }
  const RangeDefinition* Definition(std::string_view name) const override {
    for (const auto& definition : definitions_)
      if (definition->name == name) return definition.get();
    return nullptr;
  }
  const std::vector<std::unique_ptr<RangeDefinition>>& Definitions() const override {
    return definitions_;
  }

  bool RangeExists(std::string_view name) const override { return cells.count(name) > 0; }
  std::int32_t RangeRowCount(std::string_view name) const override {
    auto range = cells.find(name);
    if (range == cells.end() || range->second.empty()) return 0;
    return range->second.rbegin()->first;
  }

  std::string GetCellValue(std::string_view name, std::int32_t& row, bool& present) override {
    calls.push_back("GetCellValue " + std::string(name));
    return Read(name, row, present).ToText();
  }
  double GetCellNumber(std::string_view name, std::int32_t& row, bool& present) override {
    calls.push_back("GetCellNumber " + std::string(name));
    return Read(name, row, present).ToDouble();
  }
  OleDate GetCellDate(std::string_view name, std::int32_t& row, bool& present) override {
    calls.push_back("GetCellDate " + std::string(name));
    Variant value = Read(name, row, present);
    return IsBlankCell(value) ? OleDate{} : value.ToDate();
  }
  void SetIncludeBlankCells(bool include) override {
    calls.push_back(include ? "SetIncludeBlankCells true" : "SetIncludeBlankCells false");
    include_blank_cells_ = include;
  }
  bool IncludeBlankCells() const override { return include_blank_cells_; }

  void SetCellValue(std::string_view name, std::string_view text, std::int32_t row) override {
    calls.push_back("SetCellValue " + std::string(name));
    Write(name, row, Variant(std::string(text)));
  }
  void SetCellNumber(std::string_view name, double number, std::int32_t row) override {
    calls.push_back("SetCellNumber " + std::string(name));
    Write(name, row, Variant(number));
  }
  void CopyFieldToCell(const FieldSource& record, std::string_view name, std::string_view column,
                       std::int32_t row) override {
    calls.push_back("CopyFieldToCell " + std::string(name));
    Write(name, row, record.Field(column));
  }

  // The in-memory "workbook" has no cells of a sheet and every range grows freely.
  std::optional<Range> GetRange(std::string_view) const override { return std::nullopt; }
  std::optional<std::string> RowBlocker(std::int32_t) const override { return std::nullopt; }

  CellPosition RowOfCell(const Range&) const override { return {}; }
  std::string RangeNameOfCell(const Range&) const override { return {}; }
  bool CellInRange(std::string_view, const Range&) const override { return false; }
  std::int32_t IndexInRange(const Range&, std::string_view) const override { return -1; }
  void ClearRanges(bool, std::int32_t, std::int32_t) override { calls.push_back("ClearRanges"); }
  void SetConfirmClear(bool) override { calls.push_back("SetConfirmClear"); }
  void SetHostFlags(bool, bool) override { calls.push_back("SetHostFlags"); }
  void SetActiveSheet(std::shared_ptr<Worksheet>) override { calls.push_back("SetActiveSheet"); }
  void EndDefinition() override { calls.push_back("EndDefinition"); }
  void SetRegistrationFlags(bool, bool) override { calls.push_back("SetRegistrationFlags"); }
  void AddRanges(Application&, std::string_view, bool) override { calls.push_back("AddRanges"); }

 private:
  static bool IsBlankCell(const Variant& value) {
    if (value.IsEmpty() || value.IsNull()) return true;
    return value.IsText() && value.ToText().find_first_not_of(' ') == std::string::npos;
  }
  Variant Read(std::string_view name, std::int32_t row, bool& present) const {
    auto range = cells.find(name);
    if (range == cells.end()) {
      present = false;
      return {};
    }
    auto cell = range->second.find(row);
    Variant value = cell == range->second.end() ? Variant() : cell->second;
    present = include_blank_cells_ || !IsBlankCell(value);
    return value;
  }
  void Write(std::string_view name, std::int32_t row, Variant value) {
    auto range = cells.find(name);
    if (range != cells.end()) range->second[row] = std::move(value);
  }

  std::vector<std::unique_ptr<RangeDefinition>> definitions_;
  std::vector<RangeGroup> groups_;
  bool include_blank_cells_ = false;
};

}  // namespace orv::test
