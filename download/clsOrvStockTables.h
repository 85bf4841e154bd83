#pragma once

#include <memory>
#include <string>

namespace orv {

class DataConnection;

// Builds the download statement: the stock master (t1) with, as outer joins, the stock extension
// (t2), the technical description pages (t3), the EC data (t4) and the expense data (t5), in the
// join syntax of the connection's database type, filtered by warehouse, product and page.
class clsOrvStockTables {
 public:
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  std::string PageNumber;
  bool IsStockXpgm = false;
  bool IsStockeM = false;
  bool IsSttechM = false;
  bool IsStprexM = false;
  std::string FromWarehouse;
  std::string ToWarehouse;
  std::string FromProduct;
  std::string ToProduct;

  // Builds BaseSql from the properties. A database type outside 0 to 3 is an error.
  void SqlQuery();
  const std::string& BaseSql() const { return base_sql_; }

 private:
  std::string RangeFilter() const;

  std::shared_ptr<DataConnection> connection_;
  std::string base_sql_;
};

}  // namespace orv
