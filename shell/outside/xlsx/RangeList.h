#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/Variant.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/RangeDefinition.h"
#include "shell/outside/xlsx/RangeGroup.h"

namespace orv {

class Application;
class FieldSource;
class Worksheet;

// The host's view of a workbook's named ranges: which ranges the component defines, whether the
// workbook carries them, and the cells of each by row (rows count from 1 within a range).
// A read of a name the workbook lacks reports "not present"; a write to it does nothing.
class RangeList {
 public:
  virtual ~RangeList() = default;

  // Definitions.
  virtual std::int32_t RangeCount() const = 0;
  virtual std::vector<RangeGroup>& RangeGroups() = 0;
  virtual void ClearDefinitions() = 0;
  virtual RangeDefinition& DefineRange(std::string name, std::int32_t layout,
                                       std::int32_t data_type, std::int32_t reserved4,
                                       std::int32_t reserved5, std::string description,
                                       std::int32_t length, std::int16_t reserved8,
                                       std::string reserved9, bool browse, std::string browse_kind,
                                       std::string reserved12) = 0;
  // nullptr when no range of that name is defined.
  virtual const RangeDefinition* Definition(std::string_view name) const = 0;
  virtual const std::vector<std::unique_ptr<RangeDefinition>>& Definitions() const = 0;

  // Existence and size.
  virtual bool RangeExists(std::string_view name) const = 0;
  // The number of data rows of the range; 0 when the workbook lacks it.
  virtual std::int32_t RangeRowCount(std::string_view name) const = 0;
  // The cells of the range (for a column range, its rows), nullopt when the workbook lacks it.
  virtual std::optional<Range> GetRange(std::string_view name) const = 0;
  // Why `row` cannot be written in every column range of the catalogue that the workbook holds:
  // the first range that would have to grow over a cell that is not free (not empty, or held by
  // another range), and that cell. Nullopt when every such range holds the row or can grow to it.
  virtual std::optional<std::string> RowBlocker(std::int32_t row) const = 0;

  // A text written repaired because it could not be stored as it stood (bytes that are not UTF-8,
  // characters a workbook cannot hold): the writes since the last call, so a caller can say which
  // record and range were affected. A range list that stores every text as given has none.
  struct TextRepair {
    std::string range;
    std::int32_t row = 0;
  };
  virtual std::vector<TextRepair> TakeTextRepairs() { return {}; }

  // Reading. `present` is false for a name the workbook lacks and, unless IncludeBlankCells is
  // set, for a blank cell. A cell that cannot be read as the asked type is an AppError naming the
  // range, the row and the text.
  virtual std::string GetCellValue(std::string_view name, std::int32_t& row, bool& present) = 0;
  virtual double GetCellNumber(std::string_view name, std::int32_t& row, bool& present) = 0;
  virtual OleDate GetCellDate(std::string_view name, std::int32_t& row, bool& present) = 0;
  virtual void SetIncludeBlankCells(bool include) = 0;
  virtual bool IncludeBlankCells() const = 0;

  // Writing. A write below the last row of a column range grows the range over free cells; a
  // write that would need a cell that is not free is an AppError and writes nothing.
  virtual void SetCellValue(std::string_view name, std::string_view text, std::int32_t row) = 0;
  virtual void SetCellNumber(std::string_view name, double number, std::int32_t row) = 0;
  virtual void CopyFieldToCell(const FieldSource& record, std::string_view name,
                               std::string_view column, std::int32_t row) = 0;

  // Cells.
  struct CellPosition {
    bool ok = false;
    std::int32_t row = 0;
    const RangeDefinition* definition = nullptr;
  };
  virtual CellPosition RowOfCell(const Range& cell) const = 0;
  virtual std::string RangeNameOfCell(const Range& cell) const = 0;
  virtual bool CellInRange(std::string_view name, const Range& cell) const = 0;
  // The 1-based index of the cell within the range, negative outside it.
  virtual std::int32_t IndexInRange(const Range& cell, std::string_view name) const = 0;

  // Empties the data cells of every defined range (never the heading cells).
  virtual void ClearRanges(bool contents_only, std::int32_t reserved2, std::int32_t reserved3) = 0;
  virtual void SetConfirmClear(bool confirmed) = 0;

  // The frame around a definition pass and the registration of the owning component.
  virtual void SetHostFlags(bool first, bool second) = 0;
  virtual void SetActiveSheet(std::shared_ptr<Worksheet> sheet) = 0;
  virtual void EndDefinition() = 0;
  virtual void SetRegistrationFlags(bool first, bool second) = 0;
  virtual void AddRanges(Application& application, std::string_view prog_id, bool flag) = 0;
};

}  // namespace orv
