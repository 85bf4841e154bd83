#include "host/ExtractRequest.h"

namespace orv {

bool ExtractRequest::AnyChoice() const {
  return !from_warehouse.empty() || !to_warehouse.empty() || !from_product.empty() ||
         !to_product.empty() || clear || append || !at_cell.empty() || only_sheet_rows;
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
  auto fill = [&](const std::string& value, const char* text_box, const char* list) {
    if (!value.empty()) actions.push_back(std::string(dropdowns ? list : text_box) + "=" + value);
  };
  fill(from_warehouse, "txtWarehouseFrom", "STWHComboStart");
  fill(to_warehouse, "txtWarehouseTo", "STWHComboEnd");
  fill(from_product, "txtProdFrom", "STPRComboStart");
  fill(to_product, "txtProdTo", "STPRComboEnd");
  if (clear) actions.push_back("optClear");
  if (append) actions.push_back("optAppend");
  if (!at_cell.empty()) actions.push_back("optAppendCurrent");
  actions.push_back("cmdOK");
  return actions;
}

}  // namespace orv
