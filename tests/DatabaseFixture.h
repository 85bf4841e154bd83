#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/db/TableCatalogue.h"
#include "tests/TestSupport.h"

namespace orv::test {

// The databases every database test runs against.
enum class Backend { SQLite, PostgreSQL };

// Names the instances "SQLite" and "PostgreSQL".
std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

// The PostgreSQL server of the tests: $ORVSTOCK_TEST_PG (scripts/test starts one); empty when
// unset.
std::string TestPostgres();

// A fresh, empty database for one test: a file in a new temporary folder, or a new PostgreSQL
// database on the test server. Both are removed again on destruction.
class ScratchDatabase {
 public:
  explicit ScratchDatabase(Backend backend);
  ~ScratchDatabase();
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  const DatabaseTarget& Target() const { return target_; }
  // A temporary folder for the test's own files (companies files, further databases).
  const std::filesystem::path& Folder() const { return folder_.Path(); }

 private:
  Backend backend_;
  DatabaseTarget target_;
  ScratchFolder folder_;
  std::string database_name_;
};

// The base of every parametrised database test:
//
//   class StockRecordTest : public orv::test::DatabaseTest {};
//   TEST_P(StockRecordTest, ...) { auto connection = OpenDemo(6); ... }
//   INSTANTIATE_TEST_SUITE_P(Databases, StockRecordTest, orv::test::AllBackends(),
//                            orv::test::BackendName);
//
// The PostgreSQL instance is skipped when ORVSTOCK_TEST_PG is unset, and fails instead when
// ORVSTOCK_REQUIRE_PG is set too (scripts/test sets it when it started a server, so that a lost
// connection string cannot pass the whole suite on SQLite alone).
class DatabaseTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override;

  // The company tables of that ERP version with only the system row, opened.
  std::shared_ptr<DataConnection> OpenEmpty(int erp_version);
  // The demo company of that version and size, opened.
  std::shared_ptr<DataConnection> OpenDemo(int erp_version, int rows = 20);
  // The number of rows of a table (or of a "from ... where ..." tail).
  static long long Count(DataConnection& connection, const std::string& from_where);

  std::unique_ptr<ScratchDatabase> scratch_;
};

using Key = std::pair<std::string, std::string>;  // warehouse, product

// A demo company of the test's own, registered as DEMO in a companies file of its own and opened.
class DemoCompanyTest : public DatabaseTest {
 protected:
  void OpenDemoCompany(int erp_version, int rows);
  const TableCatalogue& Tables() const { return connection_->TableCatalogue(); }
  void Execute(const std::string& sql, const std::vector<Variant>& parameters = {}) {
    connection_->AdoConnection()->Execute(sql, parameters);
  }
  std::vector<Key> Keys(const std::string& where = "") const;

  std::shared_ptr<DataConnection> connection_;
  std::filesystem::path companies_file_;
  int erp_version_ = 7;
};

// Warehouse and product of the stock records `where` picks, in key order.
std::vector<Key> StockKeys(DataConnection& connection, const std::string& where = "");

// Every row of every table of the company, in column order, Null told apart from empty text.
std::string DumpCompany(DataConnection& connection, int erp_version);

inline auto AllBackends() { return ::testing::Values(Backend::SQLite, Backend::PostgreSQL); }

}  // namespace orv::test
