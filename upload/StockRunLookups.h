#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "shell/outside/base/AppError.h"

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
//
// An object lives for one run, and keeps what the database answered so that a run asks once per
// code, not once per row (on a server each question is a round trip). The reference tables are
// not written by a run, so their answers hold for the run (a database failure is never kept as
// an answer). The stock master is written by the run: an answer that a code is not on file is
// dropped when a stock record is added (StockRecordAdded), and every answer when the connection
// has undone work since (a record added before may be gone again). Bins: see BinChecker.
class StockRunLookups {
 public:
  explicit StockRunLookups(const std::shared_ptr<DataConnection>& connection);

  // AppError as clsStkwhD::ReadIt raises it when the warehouse is not on file.
  void ValidateWarehouse(const std::string& code);
  // Whether the product group is on file (clsOrvStkpgM::ReadIt).
  bool ProductGroupExists(const std::string& code);
  // Whether the buyer is on file and may buy (clsPoUserM::ValidBIdLite, allow_buyer not "N").
  bool BuyerMayBuy(const std::string& id);

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
  // The run has added a stock record.
  void StockRecordAdded();

 private:
  static constexpr int kWarehouseWidth = 2;
  // A look-up's kept outcome: on file, or the error that said it is not.
  struct Outcome {
    bool found = false;
    std::optional<AppError> missing;
  };
  // The kept outcome of `code`, else `read`'s, kept when it is found or `missing_number`.
  template <class Read>
  const Outcome& Ask(std::unordered_map<std::string, Outcome>& known, const std::string& code,
                     std::int32_t missing_number, Read&& read);

  std::shared_ptr<DataConnection> connection_;
  clsStkwhD warehouse_;
  clsOrvStkpgM product_group_;
  clsPoUserM buyer_;
  std::unordered_map<std::string, Outcome> warehouses_, product_groups_, buyers_;
  PreparedStatement stock_code_;
  std::unordered_map<std::string, bool> stock_codes_;
  std::uint64_t stock_codes_undos_ = 0;
};

}  // namespace orv
