#include "upload/StockRunLookups.h"

#include "shell/outside/db/DataConnection.h"

namespace orv {

StockRunLookups::StockRunLookups(const std::shared_ptr<DataConnection>& connection)
    : units(CodeLookup::Units(connection)),
      vat_types(CodeLookup::SystemCodes(connection, "005")),
      packaging(CodeLookup::SystemCodes(connection, "019")),
      purchase_keys(CodeLookup::PurchaseGlKeys(connection)),
      stock_xrefs(CodeLookup::StockGlXrefs(connection)),
      suppliers(CodeLookup::Suppliers(connection)) {
  warehouse.SetSageConnection(connection);
  product_group.SetSageConnection(connection);
  buyer.SetSageConnection(connection);
  bins.SetSageConnection(connection);
  if (connection->SystemInfo().Version() >= 7)
    replenish_categories =
        std::make_unique<CodeLookup>(CodeLookup::ReplenishCategories(connection));
  // Microsoft SQL Server joins texts with "+", the other databases with "||".
  const bool plus = connection->DatabaseType() == 3;
  stock_code_.SetActiveConnection(connection);
  stock_code_.SetSQL("select warehouse from " + connection->TableCatalogue().StockMaster() +
                     (plus ? " where warehouse+product = ?" : " where warehouse||product = ?"));
  stock_code_.AddTextParameter("code", 22);
  stock_code_.SetPrepared(true);
}

bool StockRunLookups::StockCodeExists(const std::string& code) {
  stock_code_.SetTextParameter("code", code);
  return !stock_code_.GetCommand().Execute().Eof();
}

}  // namespace orv
