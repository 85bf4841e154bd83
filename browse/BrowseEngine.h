#pragma once

#include <memory>
#include <optional>
#include <string>

#include "shell/outside/xlsx/Range.h"

namespace orv {

class DataConnection;
struct RangeDefinition;
class UserInterface;

// The browse of a range: the kind of picker its definition asks for, and the code list of every
// browse list that is read from a table of the company (see BrowseLists).
class BrowseEngine {
 public:
  // The definition of the cell's range; nullptr for a cell outside every range.
  void SetRangeDefinition(const RangeDefinition* definition) { definition_ = definition; }
  // The range's browse list ("po_warehouse", "Date", "Product", ...), else the kind it was
  // defined with ("company"); empty when the range has no browse.
  std::string BrowseKind() const;

  void SetCell(Range cell) { cell_ = std::move(cell); }
  void SetSageConnection(std::shared_ptr<DataConnection> connection) {
    connection_ = std::move(connection);
  }
  // The search the code list opens with; none opens on the whole list.
  void SetSearch(std::string search) { search_ = std::move(search); }

  // Shows the code list of the range's browse list and writes the chosen code into the cell.
  // Returns false, the cell untouched, when the list was cancelled or nothing was chosen. An
  // AppError for a browse kind that is no code list, or when the cell or connection is missing.
  bool Browse(UserInterface& ui);

 private:
  const RangeDefinition* definition_ = nullptr;
  std::optional<Range> cell_;
  std::shared_ptr<DataConnection> connection_;
  std::string search_;
};

}  // namespace orv
