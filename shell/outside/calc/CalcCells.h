#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "shell/outside/calc/CalcHost.h"
#include "shell/outside/xlsx/CellValue.h"

namespace orv {

class CalcCallbacks;

// The cells of a live document as the components read and write them during one action.
//
// Reads come from the host: the first reads of a column range cell by cell, and once a range is
// read more often, its whole column in one call (a call to the spreadsheet costs far more than a
// cell). Writes and clears are kept here, read back from here, and written in by Commit when the
// action ends, in as few calls as the areas allow: each run of written rows (neighbouring columns
// with the same run in one block), and the cleared cells no run covers. Discard drops them, so an
// action that failed leaves the document as it was. Only what was written is written: cells
// between written rows keep their contents.
class CalcCells {
 public:
  explicit CalcCells(const CalcCallbacks& host);

  // The cell at `row` of the one-column area `column` (the range it belongs to, so that repeated
  // reads fetch the range at once; a one-cell area for a lone cell).
  CellValue Get(const OrvCalcArea& column, std::int32_t row);
  // The cell at `row` of the one-column area `column` (the range it belongs to, so that room for
  // the whole range is made at once).
  void Set(const OrvCalcArea& column, std::int32_t row, CellValue value);
  // Empties every cell of the area.
  void Clear(const OrvCalcArea& area);

  // Writes the changes into the document, as one step the user may undo. AppError when the host
  // fails; the host is then told to take back what it had written of them. The changes are gone
  // afterwards either way.
  void Commit();
  void Discard();

 private:
  // The cells of one column of one sheet that this object knows: rows from `first_row`, each
  // unknown, read from the host, or written here.
  struct Column {
    enum State : std::uint8_t { kUnknown, kRead, kWritten };
    std::int32_t first_row = 0;
    std::vector<CellValue> values;
    std::vector<State> states;
    std::vector<std::pair<std::int32_t, std::int32_t>> cleared;  // row spans emptied here
    int lone_reads = 0;

    bool Cleared(std::int32_t row) const;
    // Makes room for rows first..last; returns the index of `first`.
    std::size_t Cover(std::int32_t first, std::int32_t last);
  };
  using Key = std::pair<std::int32_t, std::int32_t>;  // sheet, column

  void Fetch(Column& cells, std::int32_t sheet, std::int32_t column, std::int32_t first,
             std::int32_t last);
  struct Block {
    OrvCalcArea area;
    std::vector<const Column*> columns;
  };
  // The cleared cells that no written run covers, neighbouring columns joined.
  std::vector<OrvCalcArea> Clears() const;
  std::vector<Block> Blocks() const;
  void Write(const Block& block) const;

  const CalcCallbacks& host_;
  std::map<Key, Column> columns_;
};

}  // namespace orv
