#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/HostRunner.h"
#include "tests/TestSupport.h"
#include "tests/WorkbookFixtures.h"

namespace orv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using test::RunHost;

TEST(HostCommandTest, ExitStatusSaysSuccessActionErrorOrUsageError) {
  auto version = RunHost("version");
  EXPECT_EQ(version.status, 0) << version.output;
  EXPECT_THAT(version.output, HasSubstr("OrvStockExcel:"));
  EXPECT_TRUE(std::filesystem::exists(test::ProfileFolder() / "registration.toml"))
      << "the first run registers the components";

  EXPECT_EQ(RunHost("").status, 2);
  EXPECT_EQ(RunHost("--no-such-flag version").status, 2);
  EXPECT_EQ(RunHost("no-such-command").status, 2);
  auto unknown = RunHost("--progid OrvStockExcel.clsNothing about");
  EXPECT_EQ(unknown.status, 1) << unknown.output;
  EXPECT_THAT(unknown.output, HasSubstr("OrvStockExcel.clsNothing"));
  auto help = RunHost("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.output, HasSubstr("about"));
}

TEST(HostCommandTest, RegisterAndUnregisterAreReported) {
  auto registered = RunHost("register");
  EXPECT_EQ(registered.status, 0) << registered.output;
  EXPECT_THAT(registered.output, HasSubstr("OrvStockExcel.clsSTTechDescEx"));
  auto about = RunHost("--techdesc about");
  EXPECT_EQ(about.status, 0) << about.output;
  EXPECT_THAT(about.output, HasSubstr("OrvStockTechDesc"));
  auto page = RunHost("help");
  EXPECT_EQ(page.status, 0) << page.output;
  EXPECT_THAT(page.output, HasSubstr("Stock%20Master.html"));
  EXPECT_EQ(RunHost("--techdesc help").status, 1) << "the technical description component has none";
  EXPECT_EQ(RunHost("unregister").status, 0);
}

TEST(HostCommandTest, RegistrationOfAnotherCopyIsMadeAnewForThisHost) {
  std::ofstream(test::ProfileFolder() / "registration.toml")
      << "[progid.'OrvStockExcel.clsOrvStockEx']\n"
         "clsid = '{6F1C2A40-8B3E-4C5D-9A21-3E7B0D4C1A01}'\n"
         "[clsid.'{6F1C2A40-8B3E-4C5D-9A21-3E7B0D4C1A01}']\n"
         "inproc_server = '/nowhere/libOrvStockExcel.so.1'\n";
  auto about = RunHost("about");
  EXPECT_EQ(about.status, 0) << about.output;
  EXPECT_THAT(about.output, HasSubstr("registered"));
}

// How often `needle` occurs in `text`.
std::size_t Count(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
    ++count;
  return count;
}

TEST(HostCommandTest, MistakesOnTheCommandLineAreNamedWithTheirUsageStatus) {
  struct Case {
    std::string arguments;
    int status;
    std::vector<std::string> said;
  };
  for (const auto& [arguments, status, said] : std::vector<Case>{
           {"extarct book.xlsx", 2, {"extarct", "extract"}},
           {"--company X templat", 2, {"templat", "template"}},
           {"template", 2, {"workbook to create"}},
           {"unregister", 0, {"Nothing to unregister"}},
           {"extract /dev/null --from-warehouse 01", 1, {"/dev/null", "not a workbook"}},
           {"extract '" + test::ProfileFolder().string() + "' --from-warehouse 01", 1, {"folder"}},
       }) {
    auto run = RunHost(arguments);
    EXPECT_EQ(run.status, status) << arguments << "\n" << run.output;
    for (const auto& words : said) EXPECT_THAT(run.output, HasSubstr(words)) << arguments;
    EXPECT_THAT(run.output, Not(HasSubstr("A subcommand is required")));
  }
}

TEST(HostCommandTest, EveryErrorIsShownOnceAndTheRoutinesOnlyWhenVerbose) {
  test::ScratchFolder folder;
  auto book = folder / "book.xlsx";
  ASSERT_EQ(RunHost("template '" + book.string() + "' Warehouse Product").status, 0);
  const std::string unknown = "extract '" + book.string() + "' --from-warehouse 01";
  auto brief = RunHost(unknown);
  EXPECT_EQ(brief.status, 1) << brief.output;
  EXPECT_EQ(Count(brief.output, "No company is set up"), 1u) << brief.output;
  EXPECT_THAT(brief.output, Not(HasSubstr("Line No.")));
  auto verbose = RunHost("--verbose " + unknown);
  EXPECT_EQ(verbose.status, 1) << verbose.output;
  EXPECT_EQ(Count(verbose.output, "No company is set up"), 1u) << verbose.output;
  EXPECT_THAT(verbose.output, HasSubstr("OpenConnection of Class Module clsOrvStockEx"));
}

TEST(HostCommandTest, ADamagedSettingsFileIsReportedNotACrash) {
  test::ScratchFolder folder;
  auto book = folder / "book.xlsx";
  ASSERT_EQ(RunHost("template '" + book.string() + "' Warehouse Product").status, 0);
  for (const char* file : {"settings.toml", "registration.toml", "companies.toml"}) {
    std::ofstream(test::ProfileFolder() / file) << "[[[ not toml\n";
    for (const std::string& command : {"extract '" + book.string() + "' --from-warehouse 01",
                                       "extract '" + book.string() + "'"}) {
      auto run = RunHost(command);
      EXPECT_EQ(run.status, 1) << file << ": " << command << "\n" << run.output;
      EXPECT_THAT(run.output, HasSubstr(file));
    }
    for (const char* command : {"about", "companies", "version"}) {
      auto run = RunHost(command);
      EXPECT_TRUE(run.status == 0 || run.status == 1) << file << ": " << command << "\n"
                                                      << run.output;
    }
    std::filesystem::remove(test::ProfileFolder() / file);
  }
}

TEST(HostCommandTest, DemoDbChecksEverythingFirstAndCreatesNothingOnFailure) {
  test::ScratchFolder folder;
  const auto companies = folder / "companies.toml";
  auto demo = [&](const std::string& arguments, const std::filesystem::path& file = {}) {
    return RunHost("--config '" + (file.empty() ? companies : file).string() +
                   "' demo-db --rows 3 " + arguments);
  };
  auto first = demo("'" + (folder / "a.db").string() + "'");
  ASSERT_EQ(first.status, 0) << first.output;
  const std::string registered = test::ReadBytes(companies);

  struct Case {
    std::string arguments;
    std::filesystem::path companies;
    std::string said;
  };
  for (const auto& [arguments, file, said] : std::vector<Case>{
           {"'" + (folder / "b.db").string() + "' --code demo", {}, "--force"},
           {"'" + (folder / "b.db").string() + "' --code 'two words'", {}, "two words"},
           {"'" + (folder / "missing" / "b.db").string() + "' --code NEW", {}, "missing"},
           {"'" + (folder / "b.db").string() + "' --code OTHER", folder / "a.db" / "companies.toml",
            "a.db"},
       }) {
    auto run = demo(arguments, file);
    EXPECT_EQ(run.status, 1) << arguments << "\n" << run.output;
    EXPECT_THAT(run.output, HasSubstr(said)) << arguments;
    EXPECT_FALSE(std::filesystem::exists(folder / "b.db")) << arguments;
    EXPECT_FALSE(std::filesystem::exists(folder / "missing")) << arguments;
    EXPECT_TRUE(test::ReadBytes(companies) == registered) << arguments;
  }
  auto forced = demo("'" + (folder / "b.db").string() + "' --code DEMO --force");
  ASSERT_EQ(forced.status, 0) << forced.output;
  auto listed = RunHost("--config '" + companies.string() + "' companies");
  EXPECT_THAT(listed.output, HasSubstr((folder / "b.db").string()));
}

}  // namespace
}  // namespace orv
