#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/RangeDefinitions.h"
#include "shell/outside/xlsx/RangeList.h"

namespace orv {

class Workbook;

// The range list over an .xlsx workbook: each range of the catalogue is a defined name of the
// workbook (see RangeNames for how names are spelled), a column of cells (layout 1, row n is the
// area's n-th row) or one header cell (layout 0, every row reads and writes that cell).
//
// Writing below the last row of a column range extends its defined name downwards (workbook-level
// and sheet-local names alike), so a download of more records than the sheet was laid out for
// keeps every record. A range grows only over cells that are empty and belong to no other range of
// the catalogue: a write that would need more is refused and overwrites nothing. A text that a
// workbook cannot hold as it stands (see XmlText) is written repaired and remembered for
// TakeTextRepairs.
class XlsxRangeList : public RangeList {
 public:
  // The custom document property that names the component owning the workbook.
  static constexpr const char* kOwnerProperty = "OrvStockComponent";

  explicit XlsxRangeList(std::shared_ptr<Workbook> workbook = nullptr);
  void SetWorkbook(std::shared_ptr<Workbook> workbook);
  const std::shared_ptr<Workbook>& GetWorkbook() const { return workbook_; }

  // The ProgID that AddRanges recorded in the workbook, nullopt when none.
  static std::optional<std::string> OwnerProgId(const Workbook& workbook);

  std::int32_t RangeCount() const override;
  std::vector<RangeGroup>& RangeGroups() override { return definitions_.Groups(); }
  void ClearDefinitions() override;
  RangeDefinition& DefineRange(std::string name, std::int32_t layout, std::int32_t data_type,
                               std::int32_t reserved4, std::int32_t reserved5,
                               std::string description, std::int32_t length, std::int16_t reserved8,
                               std::string reserved9, bool browse, std::string browse_kind,
                               std::string reserved12) override;
  const RangeDefinition* Definition(std::string_view name) const override;
  const std::vector<std::unique_ptr<RangeDefinition>>& Definitions() const override {
    return definitions_.All();
  }

  bool RangeExists(std::string_view name) const override;
  std::int32_t RangeRowCount(std::string_view name) const override;
  std::optional<Range> GetRange(std::string_view name) const override;
  std::optional<std::string> RowBlocker(std::int32_t row) const override;

  std::string GetCellValue(std::string_view name, std::int32_t& row, bool& present) override;
  double GetCellNumber(std::string_view name, std::int32_t& row, bool& present) override;
  OleDate GetCellDate(std::string_view name, std::int32_t& row, bool& present) override;
  void SetIncludeBlankCells(bool include) override { include_blank_cells_ = include; }
  bool IncludeBlankCells() const override { return include_blank_cells_; }

  void SetCellValue(std::string_view name, std::string_view text, std::int32_t row) override;
  void SetCellNumber(std::string_view name, double number, std::int32_t row) override;
  void CopyFieldToCell(const FieldSource& record, std::string_view name, std::string_view column,
                       std::int32_t row) override;

  CellPosition RowOfCell(const Range& cell) const override;
  std::string RangeNameOfCell(const Range& cell) const override;
  bool CellInRange(std::string_view name, const Range& cell) const override;
  std::int32_t IndexInRange(const Range& cell, std::string_view name) const override;

  // Needs SetConfirmClear(true) first (the caller has asked the user); the flag is used up.
  void ClearRanges(bool contents_only, std::int32_t reserved2, std::int32_t reserved3) override;
  void SetConfirmClear(bool confirmed) override { confirm_clear_ = confirmed; }

  void SetHostFlags(bool first, bool second) override { host_flags_ = {first, second}; }
  void SetActiveSheet(std::shared_ptr<Worksheet> sheet) override;
  void EndDefinition() override { definition_complete_ = true; }
  void SetRegistrationFlags(bool first, bool second) override {
    registration_flags_ = {first, second};
  }
  // Records the owning component's ProgID in the workbook (see OwnerProgId).
  void AddRanges(Application& application, std::string_view prog_id, bool flag) override;

  bool DefinitionComplete() const { return definition_complete_; }

  // The writes since the last call whose text had to be repaired: range and row of each.
  std::vector<TextRepair> TakeTextRepairs() override { return std::exchange(text_repairs_, {}); }

 private:
  struct Binding {
    bool present = false;
    std::size_t sheet = 0;
    std::uint32_t first_row = 0, column = 0, last_row = 0, last_column = 0;
    bool header = false;
    std::optional<std::size_t> local_sheet;  // the sheet a sheet-local name belongs to
    std::string stored_name;
  };
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };

  const Binding& Bind(std::string_view name) const;
  void ForgetBindings() const;
  // Why the column range cannot grow to `absolute` (a sheet row), nullopt when it can.
  std::optional<std::string> GrowthBlocker(std::string_view name, const Binding& binding,
                                           std::uint64_t absolute) const;
  // The cell for `row` of the range, nullopt when the workbook lacks the range or, for reads, the
  // row lies beyond it.
  std::optional<std::pair<std::size_t, std::pair<std::uint32_t, std::uint32_t>>> Locate(
      std::string_view name, std::int32_t row, bool for_write);
  void Write(std::string_view name, std::int32_t row, const Variant& value);

  std::shared_ptr<Workbook> workbook_;
  std::shared_ptr<Worksheet> active_sheet_;
  RangeDefinitions definitions_;
  mutable std::unordered_map<std::string, Binding, Hash, std::equal_to<>> bindings_;
  // The fewest rows of any column range of the catalogue in the workbook; known while the
  // bindings are.
  mutable std::optional<std::uint64_t> shortest_column_;
  bool include_blank_cells_ = false;
  bool confirm_clear_ = false;
  bool definition_complete_ = false;
  std::pair<bool, bool> host_flags_{false, false};
  std::pair<bool, bool> registration_flags_{false, false};
  std::vector<TextRepair> text_repairs_;
};

}  // namespace orv
