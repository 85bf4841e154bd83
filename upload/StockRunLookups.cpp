#include "upload/StockRunLookups.h"

#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

StockRunLookups::StockRunLookups(const std::shared_ptr<DataConnection>& connection)
    : units(CodeLookup::Units(connection)),
      vat_types(CodeLookup::SystemCodes(connection, "005")),
      packaging(CodeLookup::SystemCodes(connection, "019")),
      purchase_keys(CodeLookup::PurchaseGlKeys(connection)),
      stock_xrefs(CodeLookup::StockGlXrefs(connection)),
      suppliers(CodeLookup::Suppliers(connection)),
      connection_(connection) {
  warehouse_.SetSageConnection(connection);
  product_group_.SetSageConnection(connection);
  buyer_.SetSageConnection(connection);
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

template <class Read>
const StockRunLookups::Outcome& StockRunLookups::Ask(
    std::unordered_map<std::string, Outcome>& known, const std::string& code,
    std::int32_t missing_number, Read&& read) {
  if (auto kept = known.find(code); kept != known.end()) return kept->second;
  Outcome outcome;
  try {
    outcome.found = read();
  } catch (const AppError& error) {
    if (error.Number() != missing_number) throw;
    outcome.missing = error;
  }
  return known.emplace(code, std::move(outcome)).first->second;
}

void StockRunLookups::ValidateWarehouse(const std::string& code) {
  const Outcome& outcome = Ask(warehouses_, code, vbObjectError + 5000, [&] {
    warehouse_.warehouse = code;
    warehouse_.ReadIt();
    return true;
  });
  if (outcome.missing) throw *outcome.missing;
}

bool StockRunLookups::ProductGroupExists(const std::string& code) {
  return Ask(product_groups_, code, vbObjectError,
             [&] {
               product_group_.product_group = code;
               product_group_.ReadIt();
               return true;
             })
      .found;
}

bool StockRunLookups::BuyerMayBuy(const std::string& id) {
  return Ask(buyers_, id, vbObjectError + 5068,
             [&] {
               buyer_.id = id;
               buyer_.ValidBIdLite();
               return buyer_.AllowBuyer() != "N";
             })
      .found;
}

bool StockRunLookups::StockCodeExists(const std::string& code) {
  const std::uint64_t undos = connection_->AdoConnection()->Undos();
  if (undos != stock_codes_undos_) {
    stock_codes_.clear();
    stock_codes_undos_ = undos;
  }
  if (auto kept = stock_codes_.find(code); kept != stock_codes_.end()) return kept->second;
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
  const bool found = !stock_code_.GetCommand().Execute().Eof();
  stock_codes_.emplace(code, found);
  return found;
}

void StockRunLookups::StockRecordAdded() {
  std::erase_if(stock_codes_, [](const auto& entry) { return !entry.second; });
}

}  // namespace orv
