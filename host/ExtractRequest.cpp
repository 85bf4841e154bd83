#include "host/ExtractRequest.h"

namespace orv {

void ExtractRequest::TakeAll() {
  from_warehouse = to_warehouse = from_product = to_product = std::string();
}

bool ExtractRequest::AnyChoice() const {
  return from_warehouse || to_warehouse || from_product || to_product || clear || append ||
         !at_cell.empty() || only_sheet_rows;
}

std::deque<std::string> ExtractRequest::DialogActions(bool dropdowns) const {
  std::deque<std::string> actions;
  if (!AnyChoice()) return {"cmdOK"};
  if (only_sheet_rows) {
    actions.push_back("chkSelectRngs=1");
    actions.push_back("cmdOK");
    return actions;
  }
  actions.push_back("chkSelectRngs=0");
  auto fill = [&](const std::optional<std::string>& value, const char* text_box, const char* list) {
    if (value) actions.push_back(std::string(dropdowns ? list : text_box) + "=" + *value);
  };
  // A first value given alone means that one code: the last value remembered from an earlier
  // download must not turn it into a range.
  auto range = [&](const std::optional<std::string>& from, const std::optional<std::string>& to,
                   const char* from_box, const char* to_box, const char* from_list,
                   const char* to_list) {
    fill(from, from_box, from_list);
    if (from && !from->empty() && !to)
      actions.push_back(std::string(dropdowns ? to_list : to_box) + "=");
    fill(to, to_box, to_list);
  };
  range(from_warehouse, to_warehouse, "txtWarehouseFrom", "txtWarehouseTo", "STWHComboStart",
        "STWHComboEnd");
  range(from_product, to_product, "txtProdFrom", "txtProdTo", "STPRComboStart", "STPRComboEnd");
  if (clear) actions.push_back("optClear");
  if (append) actions.push_back("optAppend");
  if (!at_cell.empty()) actions.push_back("optAppendCurrent");
  actions.push_back("cmdOK");
  return actions;
}

}  // namespace orv
