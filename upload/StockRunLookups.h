#pragma once

#include <memory>
#include <string>

#include "shell/outside/db/BinChecker.h"
#include "shell/outside/db/CodeLookup.h"
#include "shell/outside/db/PreparedStatement.h"
#include "upload/clsOrvStkpgM.h"
#include "upload/clsPoUserM.h"
#include "upload/clsStkwhD.h"

namespace orv {

class DataConnection;

// The look-ups an upload run makes for every row, each statement prepared once per run on the
// run's connection: warehouses, product groups, buyers, units, VAT types ("005"), packaging
// ("019"), purchase G/L keys, stock G/L cross-references, suppliers, replenishment categories
// (version 7 and later), stock records by warehouse followed by product, and bins.
class StockRunLookups {
 public:
  explicit StockRunLookups(const std::shared_ptr<DataConnection>& connection);

  clsStkwhD warehouse;
  clsOrvStkpgM product_group;
  clsPoUserM buyer;
  CodeLookup units;
  CodeLookup vat_types;
  CodeLookup packaging;
  CodeLookup purchase_keys;
  CodeLookup stock_xrefs;
  CodeLookup suppliers;
  std::unique_ptr<CodeLookup> replenish_categories;
  BinChecker bins;

  // True when a stock record's warehouse followed by its product is `code` (a supersession or an
  // alternative code).
  bool StockCodeExists(const std::string& code);

 private:
  static constexpr int kWarehouseWidth = 2;
  PreparedStatement stock_code_;
};

}  // namespace orv
