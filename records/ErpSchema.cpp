#include "records/ErpSchema.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <span>

#include "records/CompanionColumns.h"
#include "records/StockdColumns.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/SystemInfo.h"
#include "shell/outside/db/TableCatalogue.h"

namespace orv {
namespace {

using Kind = ColumnKind;

constexpr RecordColumn Text(std::string_view name, std::int16_t size) {
  return {name, Kind::Text, size};
}
constexpr RecordColumn Small(std::string_view name) { return {name, Kind::SmallInt, 0}; }

void Append(std::vector<RecordColumn>& columns, std::span<const RecordColumn> more) {
  columns.insert(columns.end(), more.begin(), more.end());
}

std::string ColumnDefinition(DatabaseTarget::Kind kind, const RecordColumn& column, bool key) {
  std::string type;
  std::string fallback;
  switch (column.kind) {
    case Kind::Text:
      type = fmt::format("varchar({})", column.size);
      if (kind == DatabaseTarget::Kind::SQLite)
        type += fmt::format(" CHECK (length({}) <= {})", column.name, column.size);
      fallback = " DEFAULT ''";
      break;
    case Kind::Double:
      type = "double precision";
      fallback = " DEFAULT 0";
      break;
    case Kind::Date:
      type = "date";
      break;
    case Kind::SmallInt:
      type = "smallint";
      fallback = " DEFAULT 0";
      break;
  }
  return std::string(column.name) + " " + type + (key ? " NOT NULL" : fallback);
}

}  // namespace

std::vector<ErpSchema::Table> ErpSchema::Tables(int erp_version) {
  if (erp_version < SystemInfo::kOldestVersion || erp_version > SystemInfo::kNewestVersion)
    throw AppError(kUnexpectedError, "",
                   fmt::format("ERP version {} is not known (versions 5 to 7 are)", erp_version));
  TableCatalogue names;
  const bool split_key = erp_version >= 6;
  std::vector<Table> tables;

  const std::size_t stock_columns =
      erp_version >= 7 ? StockdColumns::kCount : StockdColumns::kFirstVersion7;
  tables.push_back({names.StockMaster(),
                    {StockdColumns::kAll.begin(), StockdColumns::kAll.begin() + stock_columns},
                    {"warehouse", "product"}});
  tables.push_back({names.StockExtension(),
                    {CompanionColumns::kExtension.begin(), CompanionColumns::kExtension.end()},
                    {"warehouse", "product"}});

  Table pages{names.TechnicalDescription(), {}, {}};
  Append(pages.columns, CompanionColumns::kPageKey);
  Append(pages.columns, CompanionColumns::kPageValues);
  for (const auto& column : CompanionColumns::kPageKey) pages.key.push_back(column.name);
  tables.push_back(std::move(pages));

  const std::span<const RecordColumn> key =
      split_key ? std::span<const RecordColumn>(CompanionColumns::kSplitKey)
                : std::span<const RecordColumn>(CompanionColumns::kJoinedKey);
  Table ec{names.StockEc(), {}, {}};
  Append(ec.columns, key);
  ec.columns.push_back(split_key ? CompanionColumns::kEcSpareSplit
                                 : CompanionColumns::kEcSpareJoined);
  Append(ec.columns, CompanionColumns::kEcValues);
  Table expense{names.StockExpense(), {}, {}};
  Append(expense.columns, key);
  Append(expense.columns, CompanionColumns::kExpenseValues);
  for (const auto& column : key) {
    ec.key.push_back(column.name);
    expense.key.push_back(column.name);
  }
  tables.push_back(std::move(ec));
  tables.push_back(std::move(expense));

  tables.push_back({names.Warehouses(),
                    {Text("warehouse", 2), Text("description", 30), Text("address1", 30),
                     Text("address2", 30), Text("postcode", 10)},
                    {"warehouse"}});
  tables.push_back({names.ProductGroups(),
                    {Text("product_group", 10), Text("description", 30)},
                    {"product_group"}});
  tables.push_back({names.PurchaseUsers(),
                    {Text("id", 8), Text("name", 30), Text("allow_buyer", 1), Text("email", 40)},
                    {"id"}});
  tables.push_back({names.StockUnits(),
                    {Text("unit_code", 10), Text("description", 30), Small("decimal_places")},
                    {"unit_code"}});
  tables.push_back({names.SystemCodes(),
                    {Text("code_type", 3), Text("code", 10), Text("description", 40)},
                    {"code_type", "code"}});
  tables.push_back({names.PurchaseGlKeys(),
                    {Text("purchase_key", 3), Text("description", 30)},
                    {"purchase_key"}});
  tables.push_back({names.StockGlXrefs(),
                    {Text("analysis_x_ref", 3), Text("description", 30)},
                    {"analysis_x_ref"}});
  tables.push_back({names.Suppliers(),
                    {Text("supplier", 8), Text("name", 40), Text("address1", 30),
                     Text("postcode", 10), Text("currency", 3)},
                    {"supplier"}});
  tables.push_back(
      {names.Bins(),
       {Text("warehouse", 2), Text("bin_code", 10), Text("bin_status", 1), Text("comments", 40)},
       {"warehouse", "bin_code"}});
  if (erp_version >= 7)
    tables.push_back({names.ReplenishCategories(),
                      {Text("replenish_category", 3), Text("description", 30)},
                      {"replenish_category"}});
  tables.push_back({names.ExpenseCodes(),
                    {Text("exp_rev_code", 20), Text("description", 40)},
                    {"exp_rev_code"}});
  tables.push_back({names.SystemTable(),
                    {Small("erp_version"), Small("cost_decimals"), Text("default_unit", 10),
                     Text("company_name", 40)},
                    {}});
  return tables;
}

const ErpSchema::Table& ErpSchema::FindTable(const std::vector<Table>& tables,
                                             const std::string& name) {
  for (const auto& table : tables)
    if (table.name == name) return table;
  throw AppError(kUnexpectedError, "", "No table " + name + " in this ERP version");
}

std::vector<std::string> ErpSchema::CreateStatements(DatabaseTarget::Kind kind, int erp_version) {
  std::vector<std::string> statements;
  if (kind == DatabaseTarget::Kind::PostgreSQL)
    statements.push_back(std::string("CREATE SCHEMA IF NOT EXISTS ") + TableCatalogue::kOwner);
  for (const auto& table : Tables(erp_version)) {
    std::string sql = "CREATE TABLE " + table.name + " (";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
      const RecordColumn& column = table.columns[i];
      bool key = std::find(table.key.begin(), table.key.end(), column.name) != table.key.end();
      sql += (i ? ", " : "") + ColumnDefinition(kind, column, key);
    }
    if (!table.key.empty())
      sql += ", PRIMARY KEY (" + fmt::format("{}", fmt::join(table.key, ", ")) + ")";
    statements.push_back(sql + ")");
  }
  // The extract dialog lists stock by product across warehouses. The stock browse reads
  // warehouse, product, description, unit and physical quantity in key order: from the second
  // index alone, a search of the descriptions never reads the wide stock rows.
  const std::string stock = TableCatalogue().StockMaster();
  for (const auto& [name, columns] :
       {std::pair<std::string, std::string>{"stockm_product", "product"},
        {"stockm_browse", "warehouse, product, description, unit_code, physical_qty"}}) {
    if (kind == DatabaseTarget::Kind::SQLite)
      statements.push_back(std::string("CREATE INDEX ") + TableCatalogue::kOwner + "." + name +
                           " ON stockm (" + columns + ")");
    else
      statements.push_back("CREATE INDEX " + name + " ON " + stock + " (" + columns + ")");
  }
  return statements;
}

void ErpSchema::Create(Connection& connection, int erp_version) {
  auto statements = CreateStatements(connection.Target().kind, erp_version);
  connection.BeginTrans();
  try {
    for (const auto& sql : statements) connection.Execute(sql);
    connection.CommitTrans();
  } catch (...) {
    if (connection.InTransaction()) connection.RollbackTrans();
    throw;
  }
}

}  // namespace orv
