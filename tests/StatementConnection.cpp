#include "tests/StatementConnection.h"

#include <map>

#include "records/ErpSchema.h"
#include "shell/outside/db/Connection.h"
#include "tests/DatabaseFixture.h"

namespace orv::test {

std::shared_ptr<DataConnection> StatementConnection(int database_type, int erp_version) {
  // One company file per version for the whole test program.
  static std::map<int, std::unique_ptr<ScratchDatabase>> companies;
  auto& scratch = companies[erp_version];
  if (!scratch) {
    scratch = std::make_unique<ScratchDatabase>(Backend::SQLite);
    Connection connection;
    connection.Open(scratch->Target());
    ErpSchema::Create(connection, erp_version);
    connection.Execute(
        "INSERT INTO scheme.sysinfom (erp_version, cost_decimals, default_unit, company_name) "
        "VALUES (?, 2, 'EA', 'Statements')",
        {Variant(erp_version)});
  }
  auto connection = std::make_shared<DataConnection>();
  connection->Open(scratch->Target(), "TEST");
  connection->SetDatabaseType(database_type);
  return connection;
}

}  // namespace orv::test
