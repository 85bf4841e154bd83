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
  // "warehouse followed by product is the code", asked so that the key's index answers it: a
  // warehouse holds at most two characters, so the code splits after its first 0, 1 or 2.
  stock_code_.SetActiveConnection(connection);
  std::string sql =
      "select warehouse from " + connection->TableCatalogue().StockMaster() + " where";
  for (int split = 0; split <= kWarehouseWidth; ++split) {
    sql += std::string(split ? " or" : "") + " (warehouse = ? and product = ?)";
    stock_code_.AddTextParameter("warehouse" + std::to_string(split), kWarehouseWidth);
    stock_code_.AddTextParameter("product" + std::to_string(split), 22);
  }
  stock_code_.SetSQL(sql);
  stock_code_.SetPrepared(true);
}

bool StockRunLookups::StockCodeExists(const std::string& code) {
  // The code splits between characters, never inside one: half a character is no text to a
  // server that checks its encoding.
  std::size_t at = 0;
  for (int split = 0; split <= kWarehouseWidth; ++split) {
    if (split > 0 && at < code.size()) {
      ++at;
      while (at < code.size() && (static_cast<unsigned char>(code[at]) & 0xC0) == 0x80) ++at;
    }
    stock_code_.SetTextParameter("warehouse" + std::to_string(split), code.substr(0, at));
    stock_code_.SetTextParameter("product" + std::to_string(split), code.substr(at));
  }
  return !stock_code_.GetCommand().Execute().Eof();
}

}  // namespace orv
