// The stock download at size: a SQLite demo company of N stock records (default 100000) downloaded
// into a workbook that carries every range of the catalogue with N rows, driven as
// `orvstock extract --clear` drives it. Prints the time of each phase and the peak resident memory
// after it.
//
//   download_bench [rows]

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "ranges/clsOrvStockRanges.h"
#include "shell/DllExports.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/AppError.h"
#include "shell/outside/Application.h"
#include "shell/outside/ComPtr.h"
#include "shell/outside/CompaniesFile.h"
#include "shell/outside/DemoDatabase.h"
#include "shell/outside/HostSite.h"
#include "shell/outside/IClassFactory.h"
#include "shell/outside/ScriptedUI.h"
#include "shell/outside/Workbook.h"
#include "shell/outside/WorkbookTemplate.h"
#include "shell/outside/XlsxRangeList.h"

namespace {

using Clock = std::chrono::steady_clock;

double PeakMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

class Phase {
 public:
  explicit Phase(const char* name) : name_(name), start_(Clock::now()) {}
  ~Phase() {
    double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    std::printf("%-34s %8.2f s   peak RSS %8.1f MB\n", name_, seconds, PeakMegabytes());
    std::fflush(stdout);
  }

 private:
  const char* name_;
  Clock::time_point start_;
};

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  const auto folder =
      std::filesystem::temp_directory_path() / ("download_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "config");
  ::setenv("ORVSTOCK_CONFIG_DIR", (folder / "config").c_str(), 1);
  const auto database = folder / "company.db";
  const auto companies = folder / "companies.toml";
  const auto book = folder / "stock.xlsx";
  int status = 0;
  try {
    std::printf("download_bench: %d stock records, every range on the sheet\n", rows);
    {
      Phase phase("setup: demo company (SQLite)");
      orv::DemoDatabase::Create(orv::DatabaseTarget::SQLiteFile(database.string()),
                                {7, rows, false});
      orv::CompaniesFile file;
      file.Register({"DEMO", "Demo company", database.string()}, true);
      file.Save(companies);
    }
    std::size_t range_count = 0;
    {
      Phase phase("setup: workbook template");
      auto catalogue = std::make_shared<orv::XlsxRangeList>();
      orv::clsOrvStockRanges ranges;
      ranges.SetRangeList(catalogue);
      ranges.DefineRanges();
      ranges.DefineVersion7Ranges();
      auto all = orv::WorkbookTemplate::Select(catalogue->Definitions(), {});
      range_count = all.size();
      orv::WorkbookTemplate::Options options;
      options.rows = rows;
      options.owner_prog_id = orv::kStockProgId;
      orv::WorkbookTemplate::Create(book, all, options);
    }
    std::printf("%zu ranges, workbook %.1f MB before the download\n", range_count,
                static_cast<double>(std::filesystem::file_size(book)) / 1e6);

    std::ostream quiet(nullptr);
    auto ui = std::make_shared<orv::ScriptedUI>(
        std::deque<std::string>{"chkSelectRngs=0", "optClear", "cmdOK", "OK"}, quiet, quiet);
    auto site = orv::HostSite::Make(ui);
    site->companies_file = companies;
    site->company = "DEMO";
    std::shared_ptr<orv::Workbook> workbook;
    orv::ComPtr<orv::_clsOrvStockEx> stock;
    auto total = Clock::now();
    {
      Phase phase("open: workbook and ranges");
      workbook = orv::Workbook::Open(book);
      site->application = std::make_shared<orv::Application>(workbook);
      orv::ComPtr<orv::IClassFactory> factory;
      if (DllGetClassObject(&orv::CLSID_clsOrvStockEx, &orv::IID_IClassFactory,
                            factory.Receive()) != orv::S_OK ||
          factory->CreateInstance(nullptr, orv::IID__clsOrvStockEx, stock.Receive()) != orv::S_OK)
        throw orv::AppError(orv::kUnexpectedError, "download_bench", "no stock component");
      stock->SetSite(site);
      stock->putref_wkbActive(workbook);
      stock->put_Index(1);
      stock->AddRanges(*site->application);
    }
    {
      Phase phase("download: ExtractStock");
      stock->ExtractStock();
      stock->CloseConnection();
    }
    {
      Phase phase("save: workbook");
      workbook->Save();
    }
    std::printf("%-34s %8.2f s   peak RSS %8.1f MB\n", "open + download + save",
                std::chrono::duration<double>(Clock::now() - total).count(), PeakMegabytes());
    std::printf("workbook %.1f MB after the download\n",
                static_cast<double>(std::filesystem::file_size(book)) / 1e6);
    if (site->errors->ReportedCount() != 0) {
      std::fprintf(stderr, "download_bench: the download reported %d error(s)\n",
                   site->errors->ReportedCount());
      status = 1;
    }
  } catch (const orv::AppError& error) {
    std::fprintf(stderr, "download_bench: %s\n", error.Description().c_str());
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
