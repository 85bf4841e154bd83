#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "records/CompanionColumns.h"
#include "shell/outside/db/PreparedStatement.h"
#include "shell/outside/db/ReadAhead.h"
#include "shell/outside/db/Recordset.h"

namespace orv {

class DataConnection;

// The expense code of one stock record (the stock expense table). From ERP version 6 on the row
// is keyed by warehouse and product; before, by the combined column whproduct, which holds the
// warehouse followed by the product.
class clsStprexD {
 public:
  // A fresh, unopened connection is created when none has been set; setting re-points the
  // statements.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  std::string warehouse;
  std::string product;
  std::string expense;

  // True when the row of warehouse and product exists; its expense code is then loaded. A missing
  // row leaves the properties as they were.
  bool ReadIt();
  // The (warehouse, product) of the rows ReadIt is about to be asked for, read ahead together
  // (see ReadAhead); ForgetReads drops them and what was read.
  void ExpectReads(const std::vector<std::pair<std::string, std::string>>& keys);
  void ForgetReads();
  // A duplicate key fails.
  void InsertRow();
  // Writes the expense code over the row of warehouse and product; nothing when ReadIt read that
  // row last and the code has not changed since.
  void UpdateRow();

  // The statement texts; `split_key` is whether the ERP version is 6 or later.
  static std::string ReadSql(const std::string& table, bool split_key);
  static std::string InsertSql(const std::string& table, bool split_key);
  static std::string UpdateSql(const std::string& table, bool split_key);

 private:
  bool SplitKey();
  void AddKeyParameters(PreparedStatement& statement, bool split_key);
  void SetKeyParameters(PreparedStatement& statement, bool split_key);
  std::vector<Variant> KeyValues(const std::string& warehouse_value,
                                 const std::string& product_value, bool split_key);
  void PrepareReadStatement();

  std::shared_ptr<DataConnection> connection_;
  PreparedStatement read_;
  PreparedStatement insert_;
  PreparedStatement update_;
  bool read_split_ = true, insert_split_ = true, update_split_ = true;  // as built
  Recordset rs_;
  std::unique_ptr<ReadAhead> read_ahead_;
  // The row as ReadIt last read it: warehouse, product and expense.
  std::optional<std::array<std::string, 3>> as_read_;
};

}  // namespace orv
