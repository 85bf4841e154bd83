#include "browse/BrowseLists.h"

#include "shell/outside/db/TableCatalogue.h"

namespace orv {

const std::vector<BrowseLists::List>& BrowseLists::All() {
  using T = TableCatalogue;
  static const std::vector<List> lists = {
      {"po_warehouse", "Warehouses", &T::Warehouses, "warehouse", "description", "", ""},
      {"stock_units", "Stock units", &T::StockUnits, "unit_code", "description", "", ""},
      {"product_group", "Product groups", &T::ProductGroups, "product_group", "description", "",
       ""},
      {"analysis_x_ref", "Stock G/L categories", &T::StockGlXrefs, "analysis_x_ref", "description",
       "", ""},
      {"supplier", "Suppliers", &T::Suppliers, "supplier", "name", "", ""},
      {"vat_type", "VAT types", &T::SystemCodes, "code", "description", "code_type", "005"},
      {"package", "Packaging", &T::SystemCodes, "code", "description", "code_type", "019"},
      {"exp_rev_code", "Expense codes", &T::ExpenseCodes, "exp_rev_code", "description", "", ""},
      {"replenish_category", "Replenishment categories", &T::ReplenishCategories,
       "replenish_category", "description", "", ""},
  };
  return lists;
}

const BrowseLists::List* BrowseLists::Find(std::string_view name) {
  for (const auto& list : All())
    if (list.name == name) return &list;
  return nullptr;
}

}  // namespace orv
