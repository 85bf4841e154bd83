#include "shell/outside/db/CodeLookup.h"

#include "shell/outside/db/DataConnection.h"

namespace orv {

CodeLookup::CodeLookup(std::shared_ptr<DataConnection> connection, std::string table,
                       std::string column, int width, std::string type_column,
                       std::string type_value)
    : column_(std::move(column)),
      type_column_(std::move(type_column)),
      type_value_(std::move(type_value)) {
  std::string sql = "select " + column_ + " from " + table + " where " + column_ + " = ?";
  if (!type_column_.empty()) sql += " and " + type_column_ + " = ?";
  statement_.SetActiveConnection(std::move(connection));
  statement_.SetSQL(sql);
  statement_.AddTextParameter(column_, static_cast<std::int16_t>(width));
  if (!type_column_.empty()) statement_.AddTextParameter(type_column_, 3);
  statement_.SetPrepared(true);
}

CodeLookup CodeLookup::Units(std::shared_ptr<DataConnection> connection) {
  std::string table = connection->TableCatalogue().StockUnits();
  return CodeLookup(std::move(connection), table, "unit_code", 10);
}

CodeLookup CodeLookup::SystemCodes(std::shared_ptr<DataConnection> connection,
                                   std::string code_type) {
  std::string table = connection->TableCatalogue().SystemCodes();
  return CodeLookup(std::move(connection), table, "code", 10, "code_type", std::move(code_type));
}

CodeLookup CodeLookup::PurchaseGlKeys(std::shared_ptr<DataConnection> connection) {
  std::string table = connection->TableCatalogue().PurchaseGlKeys();
  return CodeLookup(std::move(connection), table, "purchase_key", 3);
}

CodeLookup CodeLookup::StockGlXrefs(std::shared_ptr<DataConnection> connection) {
  std::string table = connection->TableCatalogue().StockGlXrefs();
  return CodeLookup(std::move(connection), table, "analysis_x_ref", 3);
}

CodeLookup CodeLookup::Suppliers(std::shared_ptr<DataConnection> connection) {
  std::string table = connection->TableCatalogue().Suppliers();
  return CodeLookup(std::move(connection), table, "supplier", 8);
}

CodeLookup CodeLookup::ReplenishCategories(std::shared_ptr<DataConnection> connection) {
  std::string table = connection->TableCatalogue().ReplenishCategories();
  return CodeLookup(std::move(connection), table, "replenish_category", 3);
}

void CodeLookup::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  answers_.clear();
  statement_.SetActiveConnection(std::move(connection));
}

bool CodeLookup::Exists(std::string_view code) {
  std::string key(code);
  if (auto known = answers_.find(key); known != answers_.end()) return known->second;
  statement_.SetTextParameter(column_, code);
  if (!type_column_.empty()) statement_.SetTextParameter(type_column_, type_value_);
  const bool found = !statement_.GetCommand().Execute().Eof();
  answers_.emplace(std::move(key), found);
  return found;
}

}  // namespace orv
