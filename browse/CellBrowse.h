#pragma once

#include <memory>
#include <string>

namespace orv {

class ConnectionManager;
class DataConnection;
class Range;
class UserInterface;

// The pickers a cell browse shows besides the code lists of BrowseEngine: each shows its picker
// and writes the choice into the cell, leaving the cell as it was when nothing is chosen. Each
// returns true when it wrote the cell.
class CellBrowse {
 public:
  // The date picker, opening on the cell's date (or today's month); the date lands as a date.
  static bool ChooseDate(UserInterface& ui, const Range& cell);
  // The company picker over the connection manager's company list; the list is refreshed first
  // and the choice ended afterwards, also when the picker fails.
  static bool ChooseCompany(UserInterface& ui, ConnectionManager& manager, const Range& cell);
  // The bins of one warehouse, opening on the bins that start with `search`.
  static bool ChooseBin(UserInterface& ui, std::shared_ptr<DataConnection> connection,
                        const std::string& warehouse, const std::string& search, const Range& cell);
};

}  // namespace orv
