#pragma once

#include <memory>

namespace orv {

class RangeList;
class Worksheet;

// Binds a range list to the sheet the user works on, so that names local to that sheet (a
// workbook may carry the same range name on several sheets) resolve to its cells. Workbook-level
// names are found whatever sheet is bound.
class SheetBinding {
 public:
  void Bind(RangeList& list, std::shared_ptr<Worksheet> sheet, bool flag);
  bool Flag() const { return flag_; }

 private:
  bool flag_ = false;
};

}  // namespace orv
