#include "tests/DatabaseFixture.h"

#include <fmt/format.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "records/DemoDatabase.h"
#include "records/ErpSchema.h"
#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"

namespace orv::test {
namespace {

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

std::string DumpCompany(DataConnection& connection, int erp_version) {
  std::string dump;
  for (const auto& table : ErpSchema::Tables(erp_version)) {
    std::string order;
    for (std::size_t i = 1; i <= table.columns.size(); ++i)
      order += (i > 1 ? "," : "") + std::to_string(i);
    Recordset rows;
    rows.Open("select * from " + table.name + " order by " + order, connection.AdoConnection());
    dump += table.name + "\n";
    for (; !rows.Eof(); rows.MoveNext()) {
      for (std::size_t i = 0; i < rows.FieldCount(); ++i) {
        Variant value = rows.FieldValue(i);
        dump += (value.IsNull() ? "<null>" : value.ToText()) + "|";
      }
      dump += "\n";
    }
  }
  return dump;
}

}  // namespace orv::test
