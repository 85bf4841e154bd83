#include "shell/outside/calc/CalcCells.h"

#include <algorithm>
#include <tuple>

#include "shell/outside/calc/CalcCallbacks.h"

namespace orv {
namespace {

// Reads of one range cell by cell before its whole column is fetched: a few reads (a browse, the
// company cell) stay cheap, a pass over the rows costs one call.
constexpr int kLoneReads = 2;

}  // namespace

bool CalcCells::Column::Cleared(std::int32_t row) const {
  return std::any_of(cleared.begin(), cleared.end(),
                     [row](const auto& span) { return row >= span.first && row <= span.second; });
}

std::size_t CalcCells::Column::Cover(std::int32_t first, std::int32_t last) {
  if (values.empty()) {
    first_row = first;
  } else if (first < first_row) {
    auto more = static_cast<std::size_t>(first_row - first);
    values.insert(values.begin(), more, CellValue{});
    states.insert(states.begin(), more, kUnknown);
    first_row = first;
  }
  auto size = static_cast<std::size_t>(last - first_row + 1);
  if (values.size() < size) {
    values.resize(size);
    states.resize(size, kUnknown);
  }
  return static_cast<std::size_t>(first - first_row);
}

CalcCells::CalcCells(const CalcCallbacks& host) : host_(host) {}

CellValue CalcCells::Get(const OrvCalcArea& area, std::int32_t row) {
  Column& cells = columns_[{area.sheet, area.first_column}];
  if (!cells.values.empty() && row >= cells.first_row &&
      row < cells.first_row + static_cast<std::int32_t>(cells.values.size())) {
    auto at = static_cast<std::size_t>(row - cells.first_row);
    if (cells.states[at] != Column::kUnknown) return cells.values[at];
  }
  if (cells.Cleared(row)) return {};
  bool whole = area.last_row > area.first_row && ++cells.lone_reads > kLoneReads;
  if (whole)
    Fetch(cells, area.sheet, area.first_column, area.first_row, area.last_row);
  else
    Fetch(cells, area.sheet, area.first_column, row, row);
  return cells.values[static_cast<std::size_t>(row - cells.first_row)];
}

void CalcCells::Fetch(Column& cells, std::int32_t sheet, std::int32_t column, std::int32_t first,
                      std::int32_t last) {
  auto read = host_.GetCells({sheet, first, column, last, column});
  std::size_t at = cells.Cover(first, last);
  for (std::size_t i = 0; i < read.size(); ++i, ++at) {
    if (cells.states[at] != Column::kUnknown) continue;  // written here, or read before
    if (cells.Cleared(first + static_cast<std::int32_t>(i))) continue;
    cells.values[at] = std::move(read[i]);
    cells.states[at] = Column::kRead;
  }
}

void CalcCells::Set(const OrvCalcArea& area, std::int32_t row, CellValue value) {
  Column& cells = columns_[{area.sheet, area.first_column}];
  std::size_t at = cells.Cover(std::min(row, area.first_row), std::max(row, area.last_row)) +
                   static_cast<std::size_t>(row - std::min(row, area.first_row));
  cells.values[at] = std::move(value);
  cells.states[at] = Column::kWritten;
}

void CalcCells::Clear(const OrvCalcArea& area) {
  for (std::int32_t column = area.first_column; column <= area.last_column; ++column) {
    Column& cells = columns_[{area.sheet, column}];
    cells.cleared.emplace_back(area.first_row, area.last_row);
    for (std::size_t at = 0; at < cells.values.size(); ++at) {
      std::int32_t row = cells.first_row + static_cast<std::int32_t>(at);
      if (row >= area.first_row && row <= area.last_row) {
        cells.values[at] = CellValue{};
        cells.states[at] = Column::kUnknown;
      }
    }
  }
}

std::vector<OrvCalcArea> CalcCells::Clears() const {
  std::vector<OrvCalcArea> areas;
  auto add = [&](std::int32_t sheet, std::int32_t column, std::int32_t first, std::int32_t last) {
    auto joins = std::find_if(areas.begin(), areas.end(), [&](const OrvCalcArea& area) {
      return area.sheet == sheet && area.first_row == first && area.last_row == last &&
             area.last_column == column - 1;
    });
    if (joins != areas.end())
      joins->last_column = column;
    else
      areas.push_back({sheet, first, column, last, column});
  };
  for (const auto& [key, cells] : columns_) {
    auto written = [&](std::int32_t row) {
      auto at = row - cells.first_row;
      return at >= 0 && at < static_cast<std::int32_t>(cells.states.size()) &&
             cells.states[at] == Column::kWritten;
    };
    for (const auto& [first, last] : cells.cleared) {
      std::int32_t row = first;
      while (row <= last) {
        if (written(row)) {
          ++row;
          continue;
        }
        std::int32_t end = row;
        while (end < last && !written(end + 1)) ++end;
        add(key.first, key.second, row, end);
        row = end + 1;
      }
    }
  }
  return areas;
}

std::vector<CalcCells::Block> CalcCells::Blocks() const {
  // A run is a stretch of written rows of one column; neighbouring columns with the same run go
  // into one block. The map orders columns by sheet, then column, so a block only ever grows to
  // the right.
  std::vector<Block> blocks;
  std::map<std::tuple<std::int32_t, std::int32_t, std::int32_t>, std::size_t> open;
  for (const auto& [key, cells] : columns_) {
    const auto& [sheet, column] = key;
    std::size_t at = 0;
    while (at < cells.states.size()) {
      if (cells.states[at] != Column::kWritten) {
        ++at;
        continue;
      }
      std::size_t end = at;
      while (end < cells.states.size() && cells.states[end] == Column::kWritten) ++end;
      std::int32_t first = cells.first_row + static_cast<std::int32_t>(at);
      std::int32_t last = cells.first_row + static_cast<std::int32_t>(end) - 1;
      auto run = std::make_tuple(sheet, first, last);
      auto found = open.find(run);
      if (found != open.end() && blocks[found->second].area.last_column == column - 1) {
        blocks[found->second].area.last_column = column;
        blocks[found->second].columns.push_back(&cells);
      } else {
        open[run] = blocks.size();
        blocks.push_back({{sheet, first, column, last, column}, {&cells}});
      }
      at = end;
    }
  }
  return blocks;
}

void CalcCells::Write(const Block& block) const {
  const auto& area = block.area;
  const auto rows = static_cast<std::size_t>(area.last_row - area.first_row + 1);
  std::vector<std::span<const CellValue>> columns;
  for (const Column* column : block.columns)
    columns.emplace_back(column->values.data() + (area.first_row - column->first_row), rows);
  host_.SetCells(area, columns);
}

void CalcCells::Commit() {
  // Whatever happens, the changes are gone afterwards: written in, or taken back by the host.
  struct Forget {
    std::map<Key, Column>& columns;
    ~Forget() { columns.clear(); }
  } forget{columns_};
  auto clears = Clears();
  auto blocks = Blocks();
  const auto writes = static_cast<std::int32_t>(clears.size() + blocks.size());
  if (writes == 0) return;
  host_.Edit(writes);
  try {
    for (const auto& area : clears) host_.ClearCells(area);
    for (const auto& block : blocks) Write(block);
  } catch (...) {
    host_.Edit(CalcCallbacks::kEditFailed);
    throw;
  }
  host_.Edit(CalcCallbacks::kEditEnd);
}

void CalcCells::Discard() { columns_.clear(); }

}  // namespace orv
