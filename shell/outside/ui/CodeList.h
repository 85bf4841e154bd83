#pragma once

#include <memory>
#include <string>

#include "shell/outside/ui/ListPicker.h"

namespace orv {

// The code list of one browse list: codes with their descriptions, one search box (txtSearch)
// whose text the source matches as it sees fit, one code to choose.
class CodeList : public ListPicker {
 public:
  CodeList(std::string caption, std::shared_ptr<RowSource> source);

  // Opens with this search text (the cell's text, or the host's --search).
  void SetSearchText(std::string text) { SetSearch({std::move(text)}); }
  // The chosen row's code (its first column); empty when the list was cancelled or nothing chosen.
  std::string Code() const;
};

}  // namespace orv
