#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/RecordColumns.h"
#include "shell/outside/db/DatabaseTarget.h"

namespace orv {

class Connection;

// The tables of an ERP company database, for versions 5, 6 and 7, as this library reads and
// writes them: the stock master and its companions from the records' own column tables, the
// reference tables the look-ups and browses read. Text columns have the widths the library declares
// for their parameters; on SQLite, which does not enforce a declared width, a CHECK constraint
// does, so an over-long value fails the same way on both databases. Key columns are NOT NULL; every
// other column may hold Null and defaults to '' or 0.
class ErpSchema {
 public:
  struct Table {
    std::string name;  // qualified, as the table catalogue gives it
    std::vector<RecordColumn> columns;
    std::vector<std::string_view> key;
  };

  // Every table of a company database of that ERP version; AppError for an unknown version.
  static std::vector<Table> Tables(int erp_version);
  static const Table& FindTable(const std::vector<Table>& tables, const std::string& name);
  // The statements that create the schema (PostgreSQL) and the tables with their indexes.
  static std::vector<std::string> CreateStatements(DatabaseTarget::Kind kind, int erp_version);
  // Runs CreateStatements on an open connection, in one transaction.
  static void Create(Connection& connection, int erp_version);
};

}  // namespace orv
