#pragma once

#include <string>
#include <utility>
#include <vector>

namespace orv {

// The owner-qualified name of every table the library reads or writes, written into SQL text as
// it stands ("scheme.stockm").
class TableCatalogue {
 public:
  static constexpr const char* kOwner = "scheme";

  TableCatalogue() = default;

  const std::string& StockMaster() const { return stock_master_; }
  const std::string& StockExtension() const { return stock_extension_; }
  const std::string& TechnicalDescription() const { return technical_description_; }
  const std::string& StockEc() const { return stock_ec_; }
  const std::string& StockExpense() const { return stock_expense_; }
  const std::string& Warehouses() const { return warehouses_; }
  const std::string& ProductGroups() const { return product_groups_; }
  const std::string& PurchaseUsers() const { return purchase_users_; }
  const std::string& StockUnits() const { return stock_units_; }
  const std::string& SystemCodes() const { return system_codes_; }
  const std::string& PurchaseGlKeys() const { return purchase_gl_keys_; }
  const std::string& StockGlXrefs() const { return stock_gl_xrefs_; }
  const std::string& Suppliers() const { return suppliers_; }
  const std::string& Bins() const { return bins_; }
  const std::string& ReplenishCategories() const { return replenish_categories_; }
  const std::string& ExpenseCodes() const { return expense_codes_; }
  const std::string& SystemTable() const { return system_table_; }

  // Every table as (role, qualified name), in the order above.
  std::vector<std::pair<std::string, std::string>> All() const;

 private:
  static std::string Owned(const char* table) { return std::string(kOwner) + "." + table; }

  std::string stock_master_ = Owned("stockm");
  std::string stock_extension_ = Owned("stockxpgm");
  std::string technical_description_ = Owned("sttechm");
  std::string stock_ec_ = Owned("stockem");
  std::string stock_expense_ = Owned("stprexm");
  std::string warehouses_ = Owned("stkwhm");
  std::string product_groups_ = Owned("stkpgm");
  std::string purchase_users_ = Owned("pouserm");
  std::string stock_units_ = Owned("stkunitm");
  std::string system_codes_ = Owned("syscodem");
  std::string purchase_gl_keys_ = Owned("plgkeym");
  std::string stock_gl_xrefs_ = Owned("stglxrm");
  std::string suppliers_ = Owned("plsuppm");
  std::string bins_ = Owned("stbinm");
  std::string replenish_categories_ = Owned("strpctm");
  std::string expense_codes_ = Owned("expcodem");
  std::string system_table_ = Owned("sysinfom");
};

}  // namespace orv
