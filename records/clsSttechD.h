#pragma once

#include <array>
#include <memory>
#include <string>

#include "records/CompanionColumns.h"
#include "shell/outside/db/PreparedStatement.h"
#include "shell/outside/db/Recordset.h"

namespace orv {

class DataConnection;

// One page of a product's technical description: the row of (warehouse, product, page_number)
// with its twelve lines. Properties are kept exactly as put.
class clsSttechD {
 public:
  clsSttechD() = default;

  // The connection of the statements; a fresh, unopened one is created when none has been set.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  std::string page_number;
  std::string product;
  std::string spare;
  std::array<std::string, 12> text;  // text01 ... text12
  std::string warehouse;

  void InsertRow();
  void Reset();
  // Loads the page of the key properties; fails with the object-error base and a description
  // naming warehouse, product and page when there is none, the properties staying as they were.
  void ReadIt();
  // Deletes the page of the key properties; a missing page is not reported.
  void DeleteRow();
  void UpdateRow();

  // The statement texts; `table` is the technical description table name.
  static std::string ReadSql(const std::string& table);
  static std::string InsertSql(const std::string& table);
  static std::string UpdateSql(const std::string& table);
  // The key values stand quoted in the text, each apostrophe doubled.
  static std::string DeleteSql(const std::string& table, const std::string& warehouse,
                               const std::string& product, const std::string& page_number);

 private:
  void PrepareInsertStatement();
  void PrepareUpdateStatement();
  void PrepareReadStatement();
  // The property of a column by its position in CompanionColumns::kPageValues or kPageKey.
  std::string& Value(std::size_t column);
  std::string& KeyValue(std::size_t column);
  void AddParameters(PreparedStatement& statement);
  void SetParameters(PreparedStatement& statement);
  void CopyFromRecordset(const Recordset& rs);

  PreparedStatement insert_;
  PreparedStatement update_;
  PreparedStatement read_;
  Recordset rs_;
};

}  // namespace orv
