#include "download/clsOrvStockTables.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {
namespace {

void AddCondition(std::string& target, const std::string& condition) {
  if (ValueConvert::IsBlank(target))
    target = condition;
  else
    target += " and " + condition;
}

// Join conditions of the forms that list the tables in FROM and join in WHERE.
struct WhereJoins {
  const char* separator;
  const char* extension;
  const char* pages;
  // Followed by the quoted page number: keeps the page within the page table's outer join.
  const char* page;
  const char* ec_by_columns;
  const char* expense_by_columns;
  const char* ec_by_whproduct;
  const char* expense_by_whproduct;
};

const WhereJoins kInformix{", outer ",
                           " t2.warehouse=t1.warehouse and t2.product=t1.product ",
                           " t3.warehouse=t1.warehouse and t3.product=t1.product ",
                           "and t3.page_number = ",
                           " t4.warehouse=t1.warehouse and t4.product=t1.product ",
                           " t5.warehouse=t1.warehouse and t5.product=t1.product ",
                           " t4.whproduct=t1.warehouse||t1.product ",
                           " t5.whproduct=t1.warehouse||t1.product "};

const WhereJoins kOracle{",",
                         " t1.warehouse=t2.warehouse(+) and t1.product=t2.product(+) ",
                         " t1.warehouse=t3.warehouse(+) and t1.product=t3.product(+) ",
                         "and t3.page_number(+) = ",
                         "t1.warehouse = t4.warehouse(+) and t1.product=t4.product(+) ",
                         "t1.warehouse = t5.warehouse(+) and t1.product=t5.product(+) ",
                         "t1.warehouse||t1.product=t4.whproduct(+) ",
                         "t1.warehouse||t1.product=t5.whproduct(+) "};

}  // namespace

const std::shared_ptr<DataConnection>& clsOrvStockTables::SageConnection() {
  if (!connection_) connection_ = std::make_shared<DataConnection>();
  return connection_;
}

void clsOrvStockTables::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  connection_ = std::move(connection);
}

std::string clsOrvStockTables::Value(std::string_view value) {
  if (!UseMarkers) return ValueConvert::Quote(value);
  parameters_.emplace_back(value);
  return "?";
}

std::string clsOrvStockTables::RangeFilter() {
  std::string filter;
  if (!ValueConvert::IsBlank(FromWarehouse)) {
    if (!ValueConvert::IsBlank(ToWarehouse)) {
      AddCondition(filter, " t1.warehouse >= " + Value(FromWarehouse));
      AddCondition(filter, " t1.warehouse <= " + Value(ToWarehouse));
    } else {
      AddCondition(filter, " t1.warehouse =" + Value(FromWarehouse));
    }
  }
  if (!ValueConvert::IsBlank(FromProduct)) {
    if (ValueConvert::IsBlank(ToProduct)) {
      AddCondition(filter, "t1.product=" + Value(ValueConvert::Trim(FromProduct)));
    } else {
      AddCondition(filter, " t1.product >= " + Value(FromProduct));
      AddCondition(filter, " t1.product <= " + Value(ToProduct));
    }
  }
  return filter;
}

void clsOrvStockTables::SqlQuery() {
  Trap("SqlQuery of Class Module clsOrvStockTables Line No:", [&](int& line) {
    line = 10;
    parameters_.clear();
    const TableCatalogue& tables = SageConnection()->TableCatalogue();
    std::string from = tables.StockMaster() + " t1 ";
    std::string joins;
    std::string select = "t1.*, t1.warehouse wh, t1.product pd ";
    if (IsStockXpgm) select += ", t2.* ";
    if (IsSttechM) select += ", t3.* ";
    if (IsStockeM) select += ", t4.* ";
    if (IsStprexM) select += ", t5.* ";

    line = 20;
    const std::int32_t type = SageConnection()->DatabaseType();
    const std::int32_t version = SageConnection()->SystemInfo().Version();
    if (type < 0 || type > 3)
      throw AppError(vbObjectError, "",
                     "The download statement cannot be built for database type " +
                         std::to_string(type) + " (0 to 3 are known)");

    // The page is a condition of the page table's outer join, so that a record without that page
    // still comes back (with empty page cells); as a filter on the joined rows it would drop every
    // record whose pages do not include it. Informix has no ON clause, but it joins an outer table
    // under every WHERE condition that names only that table's columns, so there the page goes
    // beside the page table's join conditions.
    const bool page_wanted = IsSttechM && !ValueConvert::IsBlank(PageNumber);
    const std::string page = page_wanted ? Value(PageNumber) : std::string();
    std::string statement;
    if (type == 2 || type == 3) {
      line = 30;
      auto join = [&](const std::string& table, const std::string& fragment) {
        joins += " left join " + table + fragment;
      };
      const char* concat = type == 2 ? "||" : "+";
      if (IsStockXpgm)
        join(tables.StockExtension(), " t2 on t1.warehouse=t2.warehouse and t1.product=t2.product");
      if (IsSttechM)
        join(tables.TechnicalDescription(),
             " t3 on t1.warehouse=t3.warehouse and t1.product=t3.product" +
                 (page_wanted ? " and t3.page_number = " + page : std::string()));
      if (version >= 6) {
        if (IsStockeM)
          join(tables.StockEc(), " t4 on t1.warehouse=t4.warehouse and t1.product=t4.product");
        if (IsStprexM)
          join(tables.StockExpense(), " t5 on t1.warehouse=t5.warehouse and t1.product=t5.product");
      } else {
        if (IsStockeM)
          join(tables.StockEc(),
               std::string(" t4 on t1.warehouse") + concat + "t1.product=t4.whproduct");
        if (IsStprexM)
          join(tables.StockExpense(),
               std::string(" t5 on t1.warehouse") + concat + "t1.product=t5.whproduct");
      }
      statement = "Select " + select + " from " + from + joins;
    } else {
      line = 40;
      const WhereJoins& form = type == 1 ? kInformix : kOracle;
      std::string where;
      auto join = [&](const std::string& table, const char* alias, const char* condition) {
        from += std::string(form.separator) + table + alias;
        AddCondition(where, condition);
      };
      if (IsStockXpgm) join(tables.StockExtension(), " t2 ", form.extension);
      if (IsSttechM) {
        std::string condition = form.pages;
        if (page_wanted) condition += form.page + page + " ";
        join(tables.TechnicalDescription(), " t3 ", condition.c_str());
      }
      if (IsStockeM)
        join(tables.StockEc(), " t4 ", version >= 6 ? form.ec_by_columns : form.ec_by_whproduct);
      if (IsStprexM)
        join(tables.StockExpense(), " t5 ",
             version >= 6 ? form.expense_by_columns : form.expense_by_whproduct);
      statement = "Select " + select + " from " + from;
      if (!ValueConvert::IsBlank(where)) statement += " where " + where;
    }

    line = 50;
    std::string filter = RangeFilter();
    if (!ValueConvert::IsBlank(filter))
      statement += (statement.find("where") != std::string::npos ? " and " : " where ") + filter;
    base_sql_ = std::move(statement);
  });
}

}  // namespace orv
