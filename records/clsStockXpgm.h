#pragma once

#include <memory>
#include <string>

#include "shell/outside/db/PreparedStatement.h"
#include "shell/outside/db/Recordset.h"

namespace orv {

class DataConnection;

// One row of the stock extension table (scheme.stockxpgm): three more product-group codes and
// three purchasing values per warehouse and product. ReadIt loads all six values, so that an
// update writes back unchanged whatever the caller did not put.
class clsStockXpgm {
 public:
  // A fresh, unopened connection is created when none has been set; setting re-points the
  // statements.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  std::string warehouse;
  std::string product;
  std::string AnalysisD;
  std::string AnalysisE;
  std::string AnalysisF;
  std::string DeliveryQtyTol;
  std::string CallOffQtyTol;
  std::string ConsumerUnit;

  void PrepareReadStatement();
  // Loads the row of `warehouse` and `product`; fails with the object-error base + 5001 and
  // "Cannot find Product <product>" when there is none, the properties then staying as they were.
  void ReadIt();
  void PrepareStkxpgmUpdateStatement();
  // Writes the six values over the row of `warehouse` and `product`.
  void UpdateStockXPg();
  void PrepareInsertStatement();
  void InsertRow();

  // The statement texts. The insert takes the table name from the connection's catalogue; the
  // read and the update name scheme.stockxpgm.
  static std::string ReadSql();
  static std::string UpdateSql();
  static std::string InsertSql(const std::string& table);

 private:
  void Bind(PreparedStatement& statement, const char* name, const std::string& value);

  std::shared_ptr<DataConnection> connection_;
  PreparedStatement read_;
  PreparedStatement update_;
  PreparedStatement insert_;
  Recordset rs_;
};

}  // namespace orv
