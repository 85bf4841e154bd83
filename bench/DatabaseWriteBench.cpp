// Times the write path of the database layer: the demo company (one prepared insert per table,
// executed once per row, in one transaction) on SQLite and, when ORVSTOCK_BENCH_PG names a
// server, on PostgreSQL (its schema "scheme" is dropped and rebuilt); then a full read of the
// stock master through a forward-only recordset.
//
//   build/DatabaseWriteBench [rows]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "records/DemoDatabase.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Run(const char* label, const orv::DatabaseTarget& target, int rows) {
  auto start = std::chrono::steady_clock::now();
  orv::DemoDatabase::Create(target, {7, rows, true});
  double write = Seconds(start);

  orv::DataConnection connection;
  connection.Open(target);
  start = std::chrono::steady_clock::now();
  orv::Recordset stock;
  stock.Open("select * from " + connection.TableCatalogue().StockMaster(),
             connection.AdoConnection());
  long count = 0;
  double sum = 0;
  for (; !stock.Eof(); stock.MoveNext(), ++count) sum += stock.Fields("standard_cost").ToDouble();
  double read = Seconds(start);
  std::printf(
      "%-10s %6d stock rows: create %.2f s (%.0f rows/s), read %ld rows of 191 columns %.2f s\n",
      label, rows, write, rows / write, count, read);
}

}  // namespace

int main(int argc, char** argv) {
  int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
  try {
    auto file = std::filesystem::temp_directory_path() / "orvstock-bench.db";
    Run("SQLite", orv::DatabaseTarget::SQLiteFile(file.string()), rows);
    std::filesystem::remove(file);
    if (const char* pg = std::getenv("ORVSTOCK_BENCH_PG"); pg && *pg)
      Run("PostgreSQL", orv::DatabaseTarget::PostgreSQL(pg), rows);
  } catch (const orv::AppError& error) {
    std::fprintf(stderr, "%s\n", error.Description().c_str());
    return 1;
  }
  return 0;
}
