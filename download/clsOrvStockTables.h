#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

  // With markers, the page and the warehouse and product values stand in BaseSql as "?" markers
  // and Parameters holds them in marker order, so that a caller running the statement for row
  // after row (the refresh) prepares it once per shape instead of once per row.
  bool UseMarkers = false;

  // Builds BaseSql (and Parameters) from the properties. A database type outside 0 to 3 is an
  // error.
  void SqlQuery();
  const std::string& BaseSql() const { return base_sql_; }
  const std::vector<std::string>& Parameters() const { return parameters_; }

 private:
  // The value as a quoted literal, or as a marker whose value joins Parameters.
  std::string Value(std::string_view value);
  std::string RangeFilter();

  std::shared_ptr<DataConnection> connection_;
  std::string base_sql_;
  std::vector<std::string> parameters_;
};

}  // namespace orv
