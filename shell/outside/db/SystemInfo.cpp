#include "shell/outside/db/SystemInfo.h"

#include <memory>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "shell/outside/db/TableCatalogue.h"

namespace orv {

SystemInfo SystemInfo::Read(Connection& connection, const TableCatalogue& tables) {
  const std::string& table = tables.SystemTable();
  std::shared_ptr<Connection> borrowed(&connection, [](Connection*) {});
  Recordset settings;
  try {
    settings.Open("select erp_version, cost_decimals, default_unit from " + table, borrowed);
  } catch (const AppError& error) {
    throw AppError(kNoSystemTable, "",
                   "The database " + connection.Target().Display() + " has no system table " +
                       table + ", so it is not a company database (" + error.Description() + ")");
  }
  if (settings.Eof())
    throw AppError(kNoSystemTable, "", "The system table " + table + " holds no row");
  double version = settings.Fields("erp_version").ToDouble();
  if (version < kOldestVersion || version > kNewestVersion)
    throw AppError(kUnknownVersion, "",
                   "The database reports ERP version " + settings.Fields("erp_version").ToText() +
                       ", which this program does not know (it knows versions 5 to 7)");
  double decimals = settings.Fields("cost_decimals").ToDouble();
  if (decimals < 0 || decimals > 6)
    throw AppError(kUnknownVersion, "",
                   "The system table gives " + settings.Fields("cost_decimals").ToText() +
                       " decimal places for costs; 0 to 6 are allowed");
  return SystemInfo(static_cast<std::int32_t>(version), static_cast<std::int32_t>(decimals),
                    settings.Fields("default_unit").ToText());
}

}  // namespace orv
