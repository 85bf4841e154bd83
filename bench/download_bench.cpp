// The stock download at size, on a SQLite demo company of N stock records (default 100000), into
// workbooks that carry every range of the catalogue, driven as `orvstock extract` drives it:
//   1. all N records into a new workbook of N rows (--clear);
//   2. the same again into the now filled workbook (opened with N rows, cleared, written);
//   3. a refresh (--only-sheet-rows) of a workbook of R filled rows (default 2000): one query a
//   row.
// Prints the time of the open, download and save of each run and the peak resident memory after it.
//
//   download_bench [N] [R]

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "ranges/clsOrvStockRanges.h"
#include "records/DemoDatabase.h"
#include "shell/DllExports.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/com/ComPtr.h"
#include "shell/outside/com/IClassFactory.h"
#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/ui/ScriptedUI.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookTemplate.h"
#include "shell/outside/xlsx/XlsxRangeList.h"

namespace {

using Clock = std::chrono::steady_clock;

double PeakMegabytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class Phase {
 public:
  explicit Phase(std::string name) : name_(std::move(name)), start_(Clock::now()) {}
  ~Phase() {
    std::printf("  %-30s %8.2f s   peak RSS %8.1f MB\n", name_.c_str(), Seconds(start_),
                PeakMegabytes());
    std::fflush(stdout);
  }

 private:
  std::string name_;
  Clock::time_point start_;
};

void MakeTemplate(const std::filesystem::path& path, int rows) {
  auto catalogue = std::make_shared<orv::XlsxRangeList>();
  orv::clsOrvStockRanges ranges;
  ranges.SetRangeList(catalogue);
  ranges.DefineWorkbookRanges(7);
  orv::WorkbookTemplate::Options options;
  options.rows = rows;
  options.owner_prog_id = orv::kStockProgId;
  options.replace_existing = true;
  orv::WorkbookTemplate::Create(path, orv::WorkbookTemplate::Select(catalogue->Definitions(), {}),
                                options);
}

// One run of ExtractStock on the workbook, answered by `answers`; `timed` prints its phases.
void Run(const std::filesystem::path& book, const orv::UserProfile& profile,
         std::deque<std::string> answers, const char* title, bool timed) {
  if (timed) std::printf("%s\n", title);
  std::ostream quiet(nullptr);
  auto ui = std::make_shared<orv::ScriptedUI>(std::move(answers), quiet, quiet);
  auto site = orv::HostSite::Make(ui, profile);
  site->company = "DEMO";
  std::shared_ptr<orv::Workbook> workbook;
  orv::ComPtr<orv::_clsOrvStockEx> stock;
  auto total = Clock::now();
  {
    std::unique_ptr<Phase> phase(timed ? new Phase("open: workbook and ranges") : nullptr);
    workbook = orv::Workbook::Open(book);
    site->application = std::make_shared<orv::Application>(workbook);
    orv::ComPtr<orv::IClassFactory> factory;
    if (DllGetClassObject(&orv::CLSID_clsOrvStockEx, &orv::IID_IClassFactory, factory.Receive()) !=
            orv::S_OK ||
        factory->CreateInstance(nullptr, orv::IID_clsOrvStockExInterface, stock.Receive()) !=
            orv::S_OK)
      throw orv::AppError(orv::kUnexpectedError, "download_bench", "no stock component");
    stock->SetSite(site);
    stock->putref_wkbActive(workbook);
    stock->put_Index(1);
    stock->AddRanges(*site->application);
  }
  {
    std::unique_ptr<Phase> phase(timed ? new Phase("download: ExtractStock") : nullptr);
    stock->ExtractStock();
    stock->CloseConnection();
  }
  {
    std::unique_ptr<Phase> phase(timed ? new Phase("save: workbook") : nullptr);
    workbook->Save();
  }
  if (timed)
    std::printf("  %-30s %8.2f s   workbook %.1f MB\n", "total", Seconds(total),
                static_cast<double>(std::filesystem::file_size(book)) / 1e6);
  if (site->errors->ReportedCount() != 0)
    throw orv::AppError(
        orv::kUnexpectedError, "download_bench",
        "the download reported " + std::to_string(site->errors->ReportedCount()) + " error(s)");
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int refresh_rows = argc > 2 ? std::atoi(argv[2]) : 2000;
  const auto folder =
      std::filesystem::temp_directory_path() / ("download_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  // A profile of its own: the remembered download choices must not touch the user's.
  const auto profile = orv::UserProfile::InFolder(folder);
  const auto database = folder / "company.db";
  const auto& companies = profile.companies_file;
  const auto book = folder / "stock.xlsx";
  const auto small = folder / "refresh.xlsx";
  const std::deque<std::string> download = {"chkSelectRngs=0", "optClear", "cmdOK", "OK"};
  int status = 0;
  try {
    std::printf("download_bench: %d stock records (ERP version 7, SQLite), every range\n", rows);
    auto start = Clock::now();
    orv::DemoDatabase::Create(orv::DatabaseTarget::SQLiteFile(database.string()), {7, rows, false});
    orv::CompaniesFile file;
    file.Register({"DEMO", "Demo company", database.string()}, true);
    file.Save(companies);
    MakeTemplate(book, rows);
    MakeTemplate(small, refresh_rows);
    std::printf("setup (demo company, templates) %.2f s\n", Seconds(start));

    Run(book, profile, download, "1. all records into a new workbook", true);
    Run(book, profile, download, "2. all records again into the filled workbook", true);
    Run(small, profile, download, "", false);
    std::printf("(%d rows of the refresh workbook filled)\n", refresh_rows);
    Run(small, profile, {"chkSelectRngs=1", "cmdOK"}, "3. refresh of the rows on the sheet", true);
  } catch (const orv::AppError& error) {
    std::fprintf(stderr, "download_bench: %s\n", error.Description().c_str());
    status = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}
