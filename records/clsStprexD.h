#pragma once

#include <memory>
#include <string>

#include "records/CompanionColumns.h"
#include "shell/outside/db/PreparedStatement.h"
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
  // A duplicate key fails.
  void InsertRow();
  // Writes the expense code over the row of warehouse and product.
  void UpdateRow();

  // The statement texts; `split_key` is whether the ERP version is 6 or later.
  static std::string ReadSql(const std::string& table, bool split_key);
  static std::string InsertSql(const std::string& table, bool split_key);
  static std::string UpdateSql(const std::string& table, bool split_key);

 private:
  bool SplitKey();
  void AddKeyParameters(PreparedStatement& statement, bool split_key);
  void SetKeyParameters(PreparedStatement& statement, bool split_key);

  std::shared_ptr<DataConnection> connection_;
  PreparedStatement read_;
  PreparedStatement insert_;
  PreparedStatement update_;
  bool read_split_ = true, insert_split_ = true, update_split_ = true;  // as built
  Recordset rs_;
};

}  // namespace orv
