#include "tests/DatabaseFixture.h"

#include <fmt/format.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <variant>

#include "records/DemoDatabase.h"
#include "records/ErpSchema.h"
#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"

namespace orv::test {
namespace {

std::string ValueText(const Variant& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) return fmt::format("s{}:{}", v.size(), v);
        if constexpr (std::is_same_v<T, double>) return fmt::format("d{}", v);
        if constexpr (std::is_same_v<T, std::int32_t>) return fmt::format("i{}", v);
        if constexpr (std::is_same_v<T, bool>) return v ? "T" : "F";
        if constexpr (std::is_same_v<T, OleDate>) return fmt::format("t{}", v.serial);
        if constexpr (std::is_same_v<T, Variant::Null>) return "N";
        return "E";
      },
      value.Value());
}

std::string UniqueSuffix() {
  std::random_device device;
  return fmt::format("{}_{:08x}", ::getpid(), device());
}

}  // namespace

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

std::string TestPostgres() {
  const char* value = std::getenv("ORVSTOCK_TEST_PG");
  return value ? value : "";
}

bool PostgresRequired() {
  const char* value = std::getenv("ORVSTOCK_REQUIRE_PG");
  return value && *value && std::string(value) != "0";
}

ScratchDatabase::ScratchDatabase(Backend backend) : backend_(backend) {
  if (backend == Backend::SQLite) {
    auto file = folder_ / "company.db";
    std::ofstream(file).close();
    target_ = DatabaseTarget::SQLiteFile(file.string());
    return;
  }
  database_name_ = "orvtest_" + UniqueSuffix();
  Connection admin;
  admin.Open(DatabaseTarget::PostgreSQL(TestPostgres()));
  admin.Execute("CREATE DATABASE " + database_name_);
  // In a key=value connection string the last value of a keyword wins.
  target_ = DatabaseTarget::PostgreSQL(TestPostgres() + " dbname=" + database_name_);
}

ScratchDatabase::~ScratchDatabase() {
  if (backend_ != Backend::PostgreSQL) return;
  try {
    Connection admin;
    admin.Open(DatabaseTarget::PostgreSQL(TestPostgres()));
    admin.Execute("DROP DATABASE IF EXISTS " + database_name_ + " WITH (FORCE)");
  } catch (...) {
  }
}

void DatabaseTest::SetUp() {
  if (GetParam() == Backend::PostgreSQL && TestPostgres().empty()) {
    if (PostgresRequired())
      FAIL() << "ORVSTOCK_REQUIRE_PG is set but ORVSTOCK_TEST_PG is not: the PostgreSQL "
                "instance cannot run";
    GTEST_SKIP() << "ORVSTOCK_TEST_PG is not set (scripts/test starts a PostgreSQL server)";
  }
  scratch_ = std::make_unique<ScratchDatabase>(GetParam());
}

std::shared_ptr<DataConnection> DatabaseTest::OpenEmpty(int erp_version) {
  {
    Connection connection;
    connection.Open(scratch_->Target());
    ErpSchema::Create(connection, erp_version);
    connection.Execute(
        "INSERT INTO scheme.sysinfom (erp_version, cost_decimals, default_unit, company_name) "
        "VALUES (?, 2, 'EA', 'Test company')",
        {Variant(erp_version)});
  }
  auto connection = std::make_shared<DataConnection>();
  connection->Open(scratch_->Target(), "TEST");
  return connection;
}

std::shared_ptr<DataConnection> DatabaseTest::OpenDemo(int erp_version, int rows) {
  {
    Connection connection;
    connection.Open(scratch_->Target());
    DemoDatabase::Build(connection, {erp_version, rows, false});
  }
  auto connection = std::make_shared<DataConnection>();
  connection->Open(scratch_->Target(), "DEMO");
  return connection;
}

long long DatabaseTest::Count(DataConnection& connection, const std::string& from_where) {
  Recordset count;
  count.Open("select count(*) as n from " + from_where, connection.AdoConnection());
  return static_cast<long long>(count.Fields("n").ToDouble());
}

void DemoCompanyTest::OpenDemoCompany(int erp_version, int rows) {
  erp_version_ = erp_version;
  connection_ = OpenDemo(erp_version, rows);
  companies_file_ = scratch_->Folder() / "companies.toml";
  CompaniesFile companies;
  companies.Register({"DEMO", "Demo company", scratch_->Target().location}, true);
  companies.Save(companies_file_);
}

std::vector<Key> StockKeys(DataConnection& connection, const std::string& where) {
  Recordset records;
  records.Open("select warehouse, product from " + connection.TableCatalogue().StockMaster() +
                   (where.empty() ? "" : " where " + where) + " order by warehouse, product",
               connection.AdoConnection());
  std::vector<Key> keys;
  for (; !records.Eof(); records.MoveNext())
    keys.emplace_back(records.Fields("warehouse").ToText(), records.Fields("product").ToText());
  return keys;
}

std::vector<Key> DemoCompanyTest::Keys(const std::string& where) const {
  return StockKeys(*connection_, where);
}

std::string DumpCompany(const std::shared_ptr<Connection>& connection) {
  const bool sqlite = connection->Target().kind == DatabaseTarget::Kind::SQLite;
  Recordset tables;
  tables.Open(sqlite ? "select name from scheme.sqlite_master where type = 'table' and name not "
                       "like 'sqlite%' order by name"
                     : "select table_name as name from information_schema.tables where "
                       "table_schema = 'scheme' order by table_name",
              connection);
  std::vector<std::string> names;
  for (; !tables.Eof(); tables.MoveNext()) names.push_back(tables.Fields("name").ToText());
  std::ostringstream dump;
  for (const auto& name : names) {
    Recordset columns;
    columns.Open("select * from scheme." + name + " where 1 = 0", connection);
    std::string order;
    for (std::size_t i = 1; i <= columns.FieldCount(); ++i)
      order += (i > 1 ? ", " : "") + std::to_string(i);
    Recordset rows;
    rows.Open("select * from scheme." + name + " order by " + order, connection);
    dump << "table " << name << '\n';
    for (; !rows.Eof(); rows.MoveNext()) {
      for (std::size_t i = 0; i < rows.FieldCount(); ++i)
        dump << (i ? "|" : "") << ValueText(rows.FieldValue(i));
      dump << '\n';
    }
  }
  return dump.str();
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return "";
  std::istringstream left(expected), right(actual);
  std::string table, a, b;
  for (int line = 1;; ++line) {
    bool more_left = static_cast<bool>(std::getline(left, a));
    bool more_right = static_cast<bool>(std::getline(right, b));
    if (!more_left && !more_right) return "";
    if (more_left && a.rfind("table ", 0) == 0) table = a;
    if (!more_left || !more_right || a != b)
      return fmt::format("line {} ({}): expected \"{}\", got \"{}\"", line, table,
                         more_left ? a : "(end)", more_right ? b : "(end)");
  }
}

std::string DemoCompanyTest::Dump() const { return DumpCompany(connection_->AdoConnection()); }

std::string DemoCompanyTest::Value(const std::string& sql) const {
  Recordset rows;
  rows.Open(sql, connection_->AdoConnection());
  return rows.Eof() ? "<none>" : rows.FieldValue(0).ToText();
}

}  // namespace orv::test
