#include "records/ErpSchema.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/SystemInfo.h"
#include "shell/outside/db/TableCatalogue.h"

namespace orv {
namespace {

using Column = ErpSchema::Column;
using Kind = ErpSchema::Kind;

Column Text(std::string name, int size) { return {std::move(name), Kind::Text, size}; }
Column Number(std::string name) { return {std::move(name), Kind::Double, 0}; }
Column Date(std::string name) { return {std::move(name), Kind::Date, 0}; }
Column Small(std::string name) { return {std::move(name), Kind::SmallInt, 0}; }

void Family(std::vector<Column>& columns, const std::string& prefix, int count, Column shape) {
  for (int i = 1; i <= count; ++i) {
    shape.name = fmt::format("{}{:02}", prefix, i);
    columns.push_back(shape);
  }
}

std::vector<Column> BuildStockMasterColumns() {
  std::vector<Column> c;
  c.push_back(Text("abc_category", 1));
  c.push_back(Number("allocated_qty"));
  c.push_back(Text("alpha", 10));
  Family(c, "alternatives", 10, Text("", 22));
  c.push_back(Text("analysis_a", 10));
  c.push_back(Text("analysis_b", 10));
  c.push_back(Text("analysis_c", 10));
  c.push_back(Text("analysis_x_ref", 3));
  c.push_back(Number("average_sales_valu"));
  c.push_back(Number("back_order_qty"));
  c.push_back(Small("batch_receipts"));
  c.push_back(Text("batch_traceability", 1));
  c.push_back(Text("bin_number", 10));
  c.push_back(Text("bulk_item", 1));
  c.push_back(Text("buyer_id", 8));
  c.push_back(Text("catalogue_number", 20));
  for (const char* name : {"current_cost", "current_labour", "current_material", "current_overhead",
                           "current_subcontrac"})
    c.push_back(Number(name));
  c.push_back(Date("delivery_date"));
  c.push_back(Text("description", 20));
  c.push_back(Text("despatch_unit_use", 1));
  c.push_back(Text("despatch_units", 10));
  c.push_back(Text("discount", 8));
  c.push_back(Text("drawing_number", 20));
  Family(c, "dspare", 10, Number(""));
  for (const char* name :
       {"economic_reorder_q", "expected_cost", "forward_order_qty", "holding_cost"})
    c.push_back(Number(name));
  c.push_back(Small("inspect_cycle"));
  c.push_back(Number("inspection_yield"));
  c.push_back(Date("issue_date"));
  c.push_back(Number("labour_on_cost"));
  c.push_back(Date("last_revalue"));
  c.push_back(Text("last_supplier", 8));
  c.push_back(Small("last_where_used_ru"));
  c.push_back(Number("lead_time"));
  c.push_back(Text("level_of_detail", 1));
  c.push_back(Text("long_description", 40));
  c.push_back(Small("lowest_where_used"));
  c.push_back(Text("make_or_buy", 1));
  for (const char* name : {"material_on_cost", "maximum_stock_leve", "min_stock_level"})
    c.push_back(Number(name));
  Family(c, "month_to_date", 10, Number(""));
  c.push_back(Text("mps_type", 1));
  c.push_back(Text("mrp_batching", 1));
  c.push_back(Number("mrp_reorder_roundi"));
  c.push_back(Text("nominal_key", 3));
  c.push_back(Text("old_vat_code", 1));
  c.push_back(Number("on_order_qty"));
  c.push_back(Number("overhead_on_cost"));
  c.push_back(Text("packaging", 10));
  Family(c, "period_demand", 13, Number(""));
  Family(c, "period_issue_qty", 13, Number(""));
  Family(c, "period_issue_val", 13, Number(""));
  for (const char* name : {"physical_qty", "pr_yield", "previous_sale_val1", "previous_sale_val2",
                           "previous_sale_val3", "price"})
    c.push_back(Number(name));
  c.push_back(Text("pricing_discount", 8));
  c.push_back(Number("purchase_factor"));
  c.push_back(Text("purchase_key", 3));
  c.push_back(Text("purchase_unit", 10));
  c.push_back(Text("qty_decimal_places", 1));
  c.push_back(Text("queue_sequence", 6));
  c.push_back(Number("reorder_days"));
  c.push_back(Text("reorder_freeze", 1));
  for (const char* name : {"review_days", "safety_days", "safety_stock_level", "selling_factor"})
    c.push_back(Number(name));
  c.push_back(Text("selling_unit", 10));
  c.push_back(Text("serial_numbers", 1));
  c.push_back(Number("setup_cost"));
  c.push_back(Number("shelf_life"));
  c.push_back(Text("shipping_category", 10));
  c.push_back(Text("spare", 6));
  c.push_back(Text("spare2", 48));
  c.push_back(Small("spare_integer"));
  for (const char* name : {"standard_cost", "standard_labour", "standard_material",
                           "standard_overhead", "standard_subcontra"})
    c.push_back(Number(name));
  c.push_back(Text("std_cost_freeze", 1));
  c.push_back(Date("stock_date"));
  c.push_back(Number("stock_height"));
  c.push_back(Number("stock_length"));
  c.push_back(Number("stock_take_toleran"));
  c.push_back(Text("stock_type", 1));
  c.push_back(Text("stock_vat_type", 10));
  c.push_back(Number("stock_width"));
  c.push_back(Number("sub_oncost_"));
  c.push_back(Text("supersession", 22));
  c.push_back(Text("supplier", 8));
  c.push_back(Date("supsession_date"));
  c.push_back(Number("uninspected_qty"));
  c.push_back(Text("unit_code", 10));
  c.push_back(Text("unit_height", 4));
  c.push_back(Text("unit_length", 4));
  c.push_back(Text("unit_width", 4));
  c.push_back(Text("vat_inclusive", 1));
  for (const char* name : {"weight", "weight_low", "wholesale_price", "worder_allocations"})
    c.push_back(Number(name));
  c.push_back(Text("working_level", 1));
  Family(c, "year_to_date", 10, Number(""));
  return c;
}

std::string ColumnDefinition(DatabaseTarget::Kind kind, const Column& column, bool key) {
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
  return column.name + " " + type + (key ? " NOT NULL" : fallback);
}

}  // namespace

const std::vector<Column>& ErpSchema::StockMasterDataColumns() {
  static const std::vector<Column> columns = BuildStockMasterColumns();
  return columns;
}

const std::vector<Column>& ErpSchema::StockMasterVersion7Columns() {
  static const std::vector<Column> columns = {Text("replenish_category", 3), Text("held_flag", 1),
                                              Text("obsolete_flag", 1)};
  return columns;
}

std::vector<ErpSchema::Table> ErpSchema::Tables(int erp_version) {
  if (erp_version < SystemInfo::kOldestVersion || erp_version > SystemInfo::kNewestVersion)
    throw AppError(kUnexpectedError, "",
                   fmt::format("ERP version {} is not known (versions 5 to 7 are)", erp_version));
  TableCatalogue names;
  const bool split_key = erp_version >= 6;
  std::vector<Table> tables;

  Table stock{names.StockMaster(), StockMasterDataColumns(), {"warehouse", "product"}};
  stock.columns.push_back(Text("warehouse", 2));
  stock.columns.push_back(Text("product", 20));
  if (erp_version >= 7)
    for (const auto& column : StockMasterVersion7Columns()) stock.columns.push_back(column);
  tables.push_back(std::move(stock));

  tables.push_back({names.StockExtension(),
                    {Text("warehouse", 2), Text("product", 20), Text("analysis_d", 10),
                     Text("analysis_e", 10), Text("analysis_f", 10), Text("delivery_qty_tol", 30),
                     Text("call_off_qty_tol", 30), Text("consumer_unit", 10)},
                    {"warehouse", "product"}});

  Table pages{
      names.TechnicalDescription(),
      {Text("warehouse", 2), Text("product", 20), Text("page_number", 3), Text("spare", 50)},
      {"warehouse", "product", "page_number"}};
  Family(pages.columns, "text", 12, Text("", 60));
  tables.push_back(std::move(pages));

  // Before version 6 the EC and expense rows are keyed by warehouse followed by product.
  Table ec{names.StockEc(), {}, {}};
  if (split_key) {
    ec.columns = {Text("warehouse", 2), Text("product", 20), Text("ecspare", 20)};
    ec.key = {"warehouse", "product"};
  } else {
    ec.columns = {Text("whproduct", 22), Text("spare", 20)};
    ec.key = {"whproduct"};
  }
  for (auto column :
       {Text("ssdstate", 2), Number("weightkg"), Text("statind", 1), Text("procind", 1),
        Text("commodity", 12), Text("country_orig", 2), Number("suppunitqty")})
    ec.columns.push_back(column);
  tables.push_back(std::move(ec));

  Table expense{names.StockExpense(), {}, {}};
  if (split_key) {
    expense.columns = {Text("warehouse", 2), Text("product", 20)};
    expense.key = {"warehouse", "product"};
  } else {
    expense.columns = {Text("whproduct", 22)};
    expense.key = {"whproduct"};
  }
  expense.columns.push_back(Text("expense", 20));
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
      const Column& column = table.columns[i];
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
