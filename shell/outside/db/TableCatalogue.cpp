#include "shell/outside/db/TableCatalogue.h"

namespace orv {

std::vector<std::pair<std::string, std::string>> TableCatalogue::All() const {
  return {{"StockMaster", stock_master_},
          {"StockExtension", stock_extension_},
          {"TechnicalDescription", technical_description_},
          {"StockEc", stock_ec_},
          {"StockExpense", stock_expense_},
          {"Warehouses", warehouses_},
          {"ProductGroups", product_groups_},
          {"PurchaseUsers", purchase_users_},
          {"StockUnits", stock_units_},
          {"SystemCodes", system_codes_},
          {"PurchaseGlKeys", purchase_gl_keys_},
          {"StockGlXrefs", stock_gl_xrefs_},
          {"Suppliers", suppliers_},
          {"Bins", bins_},
          {"ReplenishCategories", replenish_categories_},
          {"ExpenseCodes", expense_codes_},
          {"SystemTable", system_table_}};
}

}  // namespace orv
