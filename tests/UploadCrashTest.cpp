// orvstock killed with SIGKILL at random moments of an upload and of a download. The company must
// come out exactly as it was before the upload or exactly as a whole upload leaves it, never in
// between; the workbook as it was or as a whole download leaves it. The moments are spread over
// the length of one run measured first, from a seed that is printed: ORVSTOCK_CRASH_SEED=N
// replays a run.

#include <fcntl.h>
#include <fmt/format.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "shell/outside/db/Connection.h"
#include "shell/outside/db/Recordset.h"
#include "tests/StockRunFixture.h"
#include "tests/WorkbookFixtures.h"

extern char** environ;

namespace orv {
namespace {

using Clock = std::chrono::steady_clock;

std::uint64_t CrashSeed() {
  if (const char* given = std::getenv("ORVSTOCK_CRASH_SEED")) return std::stoull(given);
  return std::random_device()();
}

// Uploads killed on SQLite: 200, or ORVSTOCK_CRASH_RUNS (the sanitizer build runs fewer); a
// tenth of them on PostgreSQL, a quarter for the download.
int CrashRuns() {
  if (const char* given = std::getenv("ORVSTOCK_CRASH_RUNS")) return std::max(std::stoi(given), 4);
  return 200;
}

// orvstock with `arguments`, its input and output on /dev/null.
pid_t Spawn(const std::vector<std::string>& arguments) {
  std::vector<std::string> words = {ORV_TEST_ORVSTOCK};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(failed, 0) << "cannot start " << argv[0];
  return pid;
}

// Waits for the process; true when it ran to its end (with status 0), false when it was killed.
bool Reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status)) return false;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  return true;
}

// The length of a whole run, measured on a second one: the first pays for registering the
// components and for cold caches.
Clock::duration Timed(const std::vector<std::string>& arguments,
                      const std::function<void()>& restore) {
  EXPECT_TRUE(Reap(Spawn(arguments)));
  restore();
  auto start = Clock::now();
  EXPECT_TRUE(Reap(Spawn(arguments)));
  return Clock::now() - start;
}

// Starts the run and kills it after `delay`: true when it had ended by then.
bool KilledAfter(const std::vector<std::string>& arguments, Clock::duration delay) {
  pid_t pid = Spawn(arguments);
  std::this_thread::sleep_for(delay);
  ::kill(pid, SIGKILL);
  return Reap(pid);
}

// The moment of each of `runs` kills: one in each equal slice of 1.1 times the run's length, at a
// random place within its slice.
std::vector<Clock::duration> KillMoments(Clock::duration length, int runs, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> within(0, 1);
  std::vector<Clock::duration> moments;
  for (int i = 0; i < runs; ++i)
    moments.push_back(
        std::chrono::duration_cast<Clock::duration>(length * 1.1 * ((i + within(random)) / runs)));
  std::shuffle(moments.begin(), moments.end(), random);
  return moments;
}

class UploadCrashTest : public test::StockWorkbookTest {
 protected:
  // 480 records on file and 20 new ones: a sheet of 500 rows.
  int CompanyRows() const override { return 480; }

  void SetUp() override {
    StockWorkbookTest::SetUp();
    if (IsSkipped()) return;
    workbook_ = Template(500);
    ASSERT_EQ(DownloadAll(workbook_).reported, 0);
    test::EditForUpload(workbook_, 480, 20);
    connection_->Close();
    upload_ = {"--config", companies_file_.string(), "--company", "DEMO",
               "upload",   workbook_.string(),       "--yes",     "--update-all"};
  }

  // The company as a connection of its own finds it (a SQLite file with a hot journal is rolled
  // back first), after the SQLite integrity check.
  std::string Survivor() {
    auto connection = std::make_shared<Connection>();
    connection->Open(scratch_->Target());
    if (GetParam() == test::Backend::SQLite) {
      Recordset check;
      check.Open("PRAGMA scheme.integrity_check", connection);
      EXPECT_EQ(check.FieldValue(0).ToText(), "ok");
    }
    return test::DumpCompany(connection);
  }

  // Kills `runs` uploads, each started on the company as it was before (`restore`), and sorts
  // what each left, once the database has dealt with the killed client (`settle`): before, after
  // or (a failure) anything else.
  void CrashUploads(int runs, const std::function<void()>& restore,
                    const std::function<void()>& settle) {
    const std::uint64_t seed = CrashSeed();
    std::cout << "[ crashes  ] seed " << seed << " (ORVSTOCK_CRASH_SEED=" << seed
              << " replays it)\n";
    const std::string before = Survivor();
    const Clock::duration length = Timed(upload_, restore);
    const std::string after = Survivor();
    const std::string untouched = test::ReadBytes(workbook_);
    ASSERT_GE(ChangedTables(before, after), 5u) << "the upload changes the stock master and its "
                                                   "companion tables";
    int old = 0, complete = 0, finished = 0;
    for (auto moment : KillMoments(length, runs, seed)) {
      restore();
      const bool ended = KilledAfter(upload_, moment);
      settle();
      const std::string left = Survivor();
      finished += ended;
      if (left == before) {
        ++old;
      } else if (left == after) {
        ++complete;
      } else {
        ADD_FAILURE() << "killed after "
                      << std::chrono::duration_cast<std::chrono::microseconds>(moment).count()
                      << " us: a partial upload: " << test::FirstDifference(after, left);
      }
      ASSERT_EQ(test::ReadBytes(workbook_), untouched) << "an upload does not write the sheet";
    }
    std::cout << fmt::format(
        "[ crashes  ] {} uploads of {} ms killed: {} left the company as before, {} as after, {} "
        "had ended\n",
        runs, std::chrono::duration_cast<std::chrono::milliseconds>(length).count(), old, complete,
        finished);
    EXPECT_EQ(old + complete, runs);
    EXPECT_GT(old, 0) << "no kill came before the commit";
    EXPECT_LT(finished, runs) << "no run was killed";
  }

  // The tables whose rows differ between two dumps.
  static std::size_t ChangedTables(const std::string& before, const std::string& after) {
    auto tables = [](const std::string& dump) {
      std::map<std::string, std::string> sections;
      std::string current;
      std::istringstream lines(dump);
      for (std::string line; std::getline(lines, line);) {
        if (line.rfind("table ", 0) == 0)
          current = line;
        else
          sections[current] += line + '\n';
      }
      return sections;
    };
    auto left = tables(before), right = tables(after);
    std::size_t changed = 0;
    for (const auto& [name, rows] : right) changed += left[name] != rows;
    return changed;
  }

  std::filesystem::path workbook_;
  std::vector<std::string> upload_;
};

TEST_P(UploadCrashTest, KilledUploadLeavesTheCompanyAsBeforeOrAsAfter) {
  if (GetParam() == test::Backend::SQLite) {
    const std::filesystem::path file = scratch_->Target().location;
    const std::filesystem::path pristine = scratch_->Folder() / "before.db";
    std::filesystem::copy_file(file, pristine);
    CrashUploads(
        CrashRuns(),
        [&] {
          std::filesystem::remove(file.string() + "-journal");
          std::filesystem::copy_file(pristine, file,
                                     std::filesystem::copy_options::overwrite_existing);
        },
        [] {});
    return;
  }
  // PostgreSQL: the killed client's server session must roll back. The company database is made
  // anew from a copy before each run, once the killed session has gone.
  const std::string location = scratch_->Target().location;
  const std::string name = location.substr(location.rfind("dbname=") + 7);
  auto admin = std::make_shared<Connection>();
  admin->Open(DatabaseTarget::PostgreSQL(test::TestPostgres()));
  admin->Execute("CREATE DATABASE " + name + "_before TEMPLATE " + name);
  auto sessions_gone = [&] {
    for (int wait = 0; wait < 500; ++wait) {
      Recordset sessions;
      sessions.Open("select count(*) as n from pg_stat_activity where datname = ?", admin,
                    {Variant(name)});
      if (sessions.Fields("n").ToDouble() == 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ADD_FAILURE() << "the killed client's session is still there";
  };
  CrashUploads(
      CrashRuns() / 10,
      [&] {
        admin->Execute("DROP DATABASE " + name + " WITH (FORCE)");
        admin->Execute("CREATE DATABASE " + name + " TEMPLATE " + name + "_before");
      },
      sessions_gone);
  admin->Execute("DROP DATABASE " + name + "_before");
}

TEST_P(UploadCrashTest, KilledDownloadLeavesTheWorkbookOldOrWhole) {
  if (GetParam() != test::Backend::SQLite) GTEST_SKIP() << "the workbook is the same on both";
  // The workbook in a folder of its own: whatever else is found there was left by a run.
  const auto folder = scratch_->Folder() / "download";
  std::filesystem::create_directory(folder);
  const auto workbook = folder / "stock.xlsx";
  std::filesystem::copy_file(workbook_, workbook);
  const std::string old = test::ReadBytes(workbook);
  const std::vector<std::string> extract = {
      "--config", companies_file_.string(), "--company", "DEMO",
      "extract",  workbook.string(),        "--clear"};
  const Clock::duration length = Timed(extract, [&] { test::WriteBytes(workbook, old); });
  const auto whole = test::ZipEntries(workbook);
  ASSERT_NE(test::ReadBytes(workbook), old);

  const std::uint64_t seed = CrashSeed();
  std::cout << "[ crashes  ] seed " << seed << " (ORVSTOCK_CRASH_SEED=" << seed << " replays it)\n";
  const int runs = CrashRuns() / 4;
  int kept = 0, written = 0, leftovers = 0;
  for (auto moment : KillMoments(length, runs, seed)) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    test::WriteBytes(workbook, old);
    KilledAfter(extract, moment);
    if (test::ReadBytes(workbook) == old)
      ++kept;
    else if (test::ZipEntries(workbook) == whole)
      ++written;
    else
      ADD_FAILURE() << "killed after "
                    << std::chrono::duration_cast<std::chrono::microseconds>(moment).count()
                    << " us: the workbook is neither the old one nor the whole download";
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      leftovers += entry.path() != workbook;
  }
  std::cout << fmt::format(
      "[ crashes  ] {} downloads of {} ms killed: {} left the old workbook, {} the whole "
      "download; {} temporary files were left behind\n",
      runs, std::chrono::duration_cast<std::chrono::milliseconds>(length).count(), kept, written,
      leftovers);
  EXPECT_EQ(kept + written, runs);
}

INSTANTIATE_TEST_SUITE_P(Databases, UploadCrashTest, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
