#pragma once

#include <deque>
#include <optional>
#include <string>

namespace orv {

// The download dialog's choices given on the command line, turned into the actions a user would
// take in the dialog, so that the dialog itself checks them and remembers them. A filter not given
// keeps the one remembered from the last download; one given empty clears it.
class ExtractRequest {
 public:
  std::optional<std::string> from_warehouse;
  std::optional<std::string> to_warehouse;
  std::optional<std::string> from_product;
  std::optional<std::string> to_product;
  bool clear = false;
  bool append = false;
  std::string at_cell;
  bool only_sheet_rows = false;

  // Clears all four filters.
  void TakeAll();
  bool AnyChoice() const;
  // The dialog actions, ending with OK. `dropdowns`: the dialog shows its lists, not text boxes.
  std::deque<std::string> DialogActions(bool dropdowns) const;
};

}  // namespace orv
