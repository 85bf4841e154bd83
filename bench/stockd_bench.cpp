// Inserts and updates per second of the stock master record on a SQLite company database of ERP
// version 7 (191 columns), inside one transaction as an upload run does.
//
//   stockd_bench [rows]   (default 100000)

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "records/ErpSchema.h"
#include "records/clsStockd.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DataConnection.h"

namespace {

using Clock = std::chrono::steady_clock;

void Fill(orv::clsStockd& stock, int row) {
  for (std::size_t i = 0; i < orv::StockdColumns::kCount; ++i) {
    const auto& column = orv::StockdColumns::kAll[i];
    switch (column.kind) {
      case orv::StockdColumns::Kind::Text:
        stock.SetValue(i, orv::Variant(std::to_string((row + i) % 7)));
        break;
      case orv::StockdColumns::Kind::Double:
        stock.SetValue(i, orv::Variant(row * 0.5 + static_cast<double>(i)));
        break;
      case orv::StockdColumns::Kind::Date:
        stock.SetValue(i, orv::Variant(orv::OleDate{45000.0 + row % 365}));
        break;
      case orv::StockdColumns::Kind::SmallInt:
        stock.SetValue(i, orv::Variant(static_cast<std::int32_t>(row % 1000)));
        break;
    }
  }
  stock.SetText("warehouse", row % 2 ? "01" : "02");
  stock.SetText("product", "P" + std::to_string(row));
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  const auto folder =
      std::filesystem::temp_directory_path() / ("stockd_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto file = folder / "company.db";
  std::ofstream(file).close();
  int status = 0;
  try {
    const auto target = orv::DatabaseTarget::SQLiteFile(file.string());
    {
      orv::Connection setup;
      setup.Open(target);
      orv::ErpSchema::Create(setup, 7);
      setup.Execute(
          "INSERT INTO scheme.sysinfom (erp_version, cost_decimals, default_unit, company_name) "
          "VALUES (7, 2, 'EA', 'Bench')");
    }
    auto connection = std::make_shared<orv::DataConnection>();
    connection->Open(target, "BENCH");
    orv::clsStockd stock;
    stock.SetSageConnection(connection);

    connection->BeginTrans();
    auto start = Clock::now();
    for (int row = 0; row < rows; ++row) {
      Fill(stock, row);
      stock.InsertRow();
    }
    connection->CommitTrans();
    const double insert_seconds = Seconds(start);

    connection->BeginTrans();
    start = Clock::now();
    for (int row = 0; row < rows; ++row) {
      Fill(stock, row + 1);
      stock.SetText("warehouse", row % 2 ? "01" : "02");
      stock.SetText("product", "P" + std::to_string(row));
      stock.UpdateStock();
    }
    connection->CommitTrans();
    const double update_seconds = Seconds(start);

    start = Clock::now();
    int found = 0;
    for (int row = 0; row < rows; ++row)
      found += stock.ReadIt(row % 2 ? "01" : "02", "P" + std::to_string(row));
    const double read_seconds = Seconds(start);
    if (found != rows) throw orv::AppError(0, "", "not every row was read back");

    std::printf("clsStockd on SQLite, ERP version 7 (191 columns), %d rows, one transaction\n",
                rows);
    std::printf("  InsertRow:   %8.2f s  %10.0f rows/s\n", insert_seconds, rows / insert_seconds);
    std::printf("  UpdateStock: %8.2f s  %10.0f rows/s\n", update_seconds, rows / update_seconds);
    std::printf("  ReadIt:      %8.2f s  %10.0f rows/s\n", read_seconds, rows / read_seconds);
  } catch (const orv::AppError& error) {
    std::fprintf(stderr, "%s\n%s\n", error.Description().c_str(), error.Source().c_str());
    status = 1;
  }
  std::filesystem::remove_all(folder);
  return status;
}
