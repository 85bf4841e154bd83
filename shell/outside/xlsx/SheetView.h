#pragma once

#include <string>

namespace orv {

// The saved view of one sheet: whether its tab is selected, and the cursor the user left on it.
struct SheetView {
  bool tab_selected = false;
  std::string active_cell;  // "B5"; empty when the file records none
  std::string sqref;        // the selected area ("B5", "5:5")
  std::string pane;         // the pane the selection belongs to when the sheet is split or frozen
};

}  // namespace orv
