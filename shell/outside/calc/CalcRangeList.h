#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "shell/outside/calc/CalcHost.h"
#include "shell/outside/xlsx/CellValue.h"
#include "shell/outside/xlsx/RangeDefinitions.h"
#include "shell/outside/xlsx/RangeList.h"

namespace orv {

class CalcCallbacks;
class CalcCells;
class SheetDocument;

// The range list over a document that a spreadsheet program holds open: each range of the
// catalogue is a defined name of the document, found through the host, a column of cells (row n
// is the area's n-th row) or one header cell (every row reads and writes that cell). Cells go
// through CalcCells, so that what an action writes reaches the document when the action ends.
//
// Writing below the last row of a column range moves the range's end down, as the workbook range
// list does: only over cells that are empty and belong to no other range of the catalogue.
class CalcRangeList : public RangeList {
 public:
  // `document` is the document cells handed to RowOfCell and the like must belong to.
  CalcRangeList(const CalcCallbacks& host, std::shared_ptr<CalcCells> cells,
                std::shared_ptr<SheetDocument> document);

  std::int32_t RangeCount() const override { return definitions_.Count(); }
  std::vector<RangeGroup>& RangeGroups() override { return definitions_.Groups(); }
  void ClearDefinitions() override;
  RangeDefinition& DefineRange(std::string name, std::int32_t layout, std::int32_t data_type,
                               std::int32_t reserved4, std::int32_t reserved5,
                               std::string description, std::int32_t length, std::int16_t reserved8,
                               std::string reserved9, bool browse, std::string browse_kind,
                               std::string reserved12) override;
  const RangeDefinition* Definition(std::string_view name) const override {
    return definitions_.Find(name);
  }
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

  void SetHostFlags(bool, bool) override {}
  // Names are looked up on the sheet the user works on by the host itself; a new sheet only
  // means the names must be looked up again.
  void SetActiveSheet(std::shared_ptr<Worksheet> sheet) override;
  void EndDefinition() override {}
  void SetRegistrationFlags(bool, bool) override {}
  // The host's menu names the component; nothing is recorded in the document.
  void AddRanges(Application&, std::string_view, bool) override {}

  // Forgets where the ranges lie (the user may have moved them since the last action).
  void Forget();

 private:
  struct Found {
    OrvCalcArea area;
    std::string stored_name;
    bool header = false;
  };
  // The range as the document defines it; nullptr when it does not.
  const Found* Find(std::string_view name) const;
  // Why the column range cannot grow down to sheet row `last_row`; nullopt when it can.
  std::optional<std::string> GrowthBlocker(std::string_view name, const OrvCalcArea& area,
                                           std::int64_t last_row) const;
  // The one-column area and the absolute row of `row`; nullopt when the document lacks the range
  // or, for reads, the row lies beyond it.
  std::optional<std::pair<OrvCalcArea, std::int32_t>> Locate(std::string_view name,
                                                             std::int32_t row, bool for_write);
  // The cell at `row`, and whether it is there.
  std::optional<CellValue> Read(std::string_view name, std::int32_t row);
  void Write(std::string_view name, std::int32_t row, const Variant& value);
  bool Holds(const Range& cell) const;

  const CalcCallbacks& host_;
  std::shared_ptr<CalcCells> cells_;
  std::shared_ptr<SheetDocument> document_;
  RangeDefinitions definitions_;
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  mutable std::unordered_map<std::string, std::optional<Found>, Hash, std::equal_to<>> areas_;
  // The fewest rows of any column range of the catalogue in the document; known while the
  // areas are.
  mutable std::optional<std::int32_t> shortest_column_;
  bool include_blank_cells_ = false;
  bool confirm_clear_ = false;
};

}  // namespace orv
