#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "shell/outside/db/PreparedStatement.h"

namespace orv {

class DataConnection;

// Whether a code is on file in one reference table: stock units, system codes of one type ("005"
// VAT types, "019" packaging), purchase G/L keys, stock G/L cross-references, suppliers,
// replenishment categories. The statement is prepared once and run once for each code; codes
// compare exactly, blanks included. The answer for a code is kept for the object's life: the
// object lives for one run (an upload), and nothing a run does writes these tables, so asking
// again could only give the same answer. Another connection changing the table meanwhile is
// seen by the next object, as it would be by the next run.
class CodeLookup {
 public:
  static CodeLookup Units(std::shared_ptr<DataConnection> connection);
  static CodeLookup SystemCodes(std::shared_ptr<DataConnection> connection, std::string code_type);
  static CodeLookup PurchaseGlKeys(std::shared_ptr<DataConnection> connection);
  static CodeLookup StockGlXrefs(std::shared_ptr<DataConnection> connection);
  static CodeLookup Suppliers(std::shared_ptr<DataConnection> connection);
  // Replenishment categories (companies of ERP version 7 and later).
  static CodeLookup ReplenishCategories(std::shared_ptr<DataConnection> connection);

  // "select <column> from <table> where <column> = ?", with "and <type_column> = <type_value>"
  // when a type is given.
  CodeLookup(std::shared_ptr<DataConnection> connection, std::string table, std::string column,
             int width, std::string type_column = {}, std::string type_value = {});

  // Points the look-up at another connection (the answers kept are dropped); the statement text
  // stays.
  void SetSageConnection(std::shared_ptr<DataConnection> connection);
  bool Exists(std::string_view code);

 private:
  PreparedStatement statement_;
  std::unordered_map<std::string, bool> answers_;
  std::string column_;
  std::string type_column_;
  std::string type_value_;
};

}  // namespace orv
