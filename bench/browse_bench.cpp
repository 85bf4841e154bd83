// The browse lists at size: how long the first page of a list takes to show on a demo company of
// N stock records (default 200000: 100,000 products, each in two warehouses), in SQLite or, with
// a connection string, in PostgreSQL (schema "scheme" of that database is replaced).
//   1. the stock browse's first page: the whole list, by product start, by warehouse, by a part
//      of the description (one that many records hold, and one that none holds: a full search);
//   2. the next page after the first, and a page deep into the list;
//   3. code lists (stock units, suppliers) and the bins of a warehouse;
//   4. BrowseRanges on a Product cell, the workbook open, until the browse has shown its page.
// Each figure is the best and the median of 7 runs, after one unmeasured run. On PostgreSQL the
// stock table is vacuumed and analysed first, as the server's autovacuum does after a bulk load.
//
//   browse_bench [N] [postgresql connection string]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "browse/BrowseLists.h"
#include "browse/CodeListSource.h"
#include "browse/SqlListSource.h"
#include "browse/StockListSource.h"
#include "ranges/clsOrvStockRanges.h"
#include "records/DemoDatabase.h"
#include "shell/DllExports.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/com/ComPtr.h"
#include "shell/outside/com/IClassFactory.h"
#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/site/UserProfile.h"
#include "shell/outside/ui/PickList.h"
#include "shell/outside/ui/ScriptedUI.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookTemplate.h"
#include "shell/outside/xlsx/XlsxRangeList.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs `step` once unmeasured, then 7 times; prints the best and the median time.
void Measure(const char* what, const std::function<std::size_t()>& step) {
  step();
  std::vector<double> times;
  std::size_t rows = 0;
  for (int i = 0; i < 7; ++i) {
    auto start = Clock::now();
    rows = step();
    times.push_back(Milliseconds(start));
  }
  std::sort(times.begin(), times.end());
  std::printf("  %-46s %8.2f ms best %8.2f ms median  (%zu rows shown)\n", what, times.front(),
              times[times.size() / 2], rows);
  std::fflush(stdout);
}

std::size_t FirstPage(const std::shared_ptr<orv::RowSource>& source,
                      const std::vector<std::string>& search) {
  orv::PickList list("lstRows", "", "", source, false);
  list.Search(search);
  return list.PageRows().size();
}

void MakeTemplate(const std::filesystem::path& path) {
  auto catalogue = std::make_shared<orv::XlsxRangeList>();
  orv::clsOrvStockRanges ranges;
  ranges.SetRangeList(catalogue);
  ranges.DefineWorkbookRanges(7);
  orv::WorkbookTemplate::Options options;
  options.rows = 500;
  options.owner_prog_id = orv::kStockProgId;
  orv::WorkbookTemplate::Create(
      path,
      orv::WorkbookTemplate::Select(catalogue->Definitions(),
                                    {"Warehouse", "Product", "Description", "PhysicalQty"}),
      options);
}

// BrowseRanges on the first Product cell, the browse cancelled once its first page is shown.
std::size_t BrowseProductCell(const std::filesystem::path& book,
                              const std::filesystem::path& companies) {
  std::ostream quiet(nullptr);
  auto ui = std::make_shared<orv::ScriptedUI>(std::deque<std::string>{"cmdCancel"}, quiet, quiet);
  auto site = orv::HostSite::Make(ui, orv::UserProfile::InFolder(companies.parent_path(), false));
  site->profile.companies_file = companies;
  site->company = "DEMO";
  auto workbook = orv::Workbook::Open(book);
  site->application = std::make_shared<orv::Application>(workbook);
  orv::ComPtr<orv::IClassFactory> factory;
  orv::ComPtr<orv::_clsOrvStockEx> stock;
  if (DllGetClassObject(&orv::CLSID_clsOrvStockEx, &orv::IID_IClassFactory, factory.Receive()) !=
          orv::S_OK ||
      factory->CreateInstance(nullptr, orv::IID_clsOrvStockExInterface, stock.Receive()) !=
          orv::S_OK)
    throw orv::AppError(orv::kUnexpectedError, "browse_bench", "no stock component");
  stock->SetSite(site);
  stock->putref_wkbActive(workbook);
  stock->put_Index(1);
  stock->AddRanges(*site->application);
  orv::Range cell = workbook->NamedRange("Product")->Cells(1, 1);
  stock->BrowseRanges(cell);
  stock->CloseConnection();
  if (site->errors->ReportedCount() != 0 || ui->RemainingAnswers() != 0)
    throw orv::AppError(orv::kUnexpectedError, "browse_bench", "the browse did not run");
  return 20;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
  const std::string postgres = argc > 2 ? argv[2] : "";
  const auto folder =
      std::filesystem::temp_directory_path() / ("browse_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "config");
  ::setenv("ORVSTOCK_CONFIG_DIR", (folder / "config").c_str(), 1);
  const auto companies = folder / "companies.toml";
  const auto book = folder / "stock.xlsx";
  int status = 0;
  try {
    orv::DatabaseTarget target = postgres.empty()
                                     ? orv::DatabaseTarget::SQLiteFile((folder / "c.db").string())
                                     : orv::DatabaseTarget::Parse(postgres);
    std::printf("browse_bench: %d stock records (%d products), %s\n", rows, (rows + 1) / 2,
                postgres.empty() ? "SQLite" : "PostgreSQL");
    auto start = Clock::now();
    orv::DemoDatabase::Create(target, {7, rows, true});
    orv::CompaniesFile file;
    file.Register({"DEMO", "Demo company", target.location}, true);
    file.Save(companies);
    MakeTemplate(book);
    std::printf("setup (demo company, workbook) %.1f s\n", Milliseconds(start) / 1000);

    auto connection = std::make_shared<orv::DataConnection>();
    connection->Open(target, "DEMO");
    if (!postgres.empty()) {
      // What the server's autovacuum does soon after a bulk load: without it the planner has no
      // statistics and the browse index cannot be read alone.
      start = Clock::now();
      connection->AdoConnection()->Execute("vacuum analyze " +
                                           connection->TableCatalogue().StockMaster());
      std::printf("vacuum analyze %.1f s\n", Milliseconds(start) / 1000);
    }
    auto stock = std::make_shared<orv::StockListSource>(connection);
    std::printf("1. the stock browse, first page\n");
    Measure("whole list", [&] { return FirstPage(stock, {}); });
    Measure("product starts with \"WASH-M8\"", [&] { return FirstPage(stock, {"", "WASH-M8"}); });
    Measure("warehouse 03", [&] { return FirstPage(stock, {"03"}); });
    Measure("description holds \"washer\"", [&] { return FirstPage(stock, {"", "", "washer"}); });
    Measure("description holds \"zzz\" (no record does)", [&] {
      return FirstPage(stock, {"", "", "zzz"});
    });

    std::printf("2. paging\n");
    orv::PickList list("lstRows", "", "", stock, false);
    list.Search({});
    Measure("next page", [&] {
      list.NextPage();
      return list.PageRows().size();
    });
    Measure("a page after the 100,000th record", [&] {
      orv::RowSource::Request request{{}, {"02", "SAW-M8-0181"}, 0, 21};
      return stock->Fetch(request).size();
    });

    std::printf("3. code lists\n");
    for (const char* name : {"stock_units", "supplier"}) {
      auto source =
          std::make_shared<orv::CodeListSource>(connection, *orv::BrowseLists::Find(name));
      Measure(name, [&] { return FirstPage(source, {}); });
    }
    auto bins = std::make_shared<orv::SqlListSource>(
        connection,
        "select bin_code,warehouse, bin_status, comments  from " +
            connection->TableCatalogue().Bins() + " where warehouse = ?",
        std::vector<orv::Variant>{orv::Variant(std::string("02"))}, "bin_code");
    Measure("bins of warehouse 02", [&] { return FirstPage(bins, {}); });
    connection->Close();

    std::printf("4. through the component\n");
    Measure("BrowseRanges on a Product cell, workbook open",
            [&] { return BrowseProductCell(book, companies); });
  } catch (const orv::AppError& error) {
    std::fprintf(stderr, "browse_bench: %s\n", error.Description().c_str());
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
