#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

#include "tests/HostRunner.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using test::RunHost;

TEST(HostCommandTest, ExitStatusSaysSuccessActionErrorOrUsageError) {
  auto version = RunHost("version");
  EXPECT_EQ(version.status, 0) << version.output;
  EXPECT_NE(version.output.find("OrvStockExcel:"), std::string::npos) << version.output;
  EXPECT_TRUE(std::filesystem::exists(test::ProfileFolder() / "registration.toml"))
      << "the first run registers the components";

  EXPECT_EQ(RunHost("").status, 2);
  EXPECT_EQ(RunHost("--no-such-flag version").status, 2);
  EXPECT_EQ(RunHost("no-such-command").status, 2);
  auto unknown = RunHost("--progid OrvStockExcel.clsNothing about");
  EXPECT_EQ(unknown.status, 1) << unknown.output;
  EXPECT_NE(unknown.output.find("OrvStockExcel.clsNothing"), std::string::npos);
  auto help = RunHost("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("about"), std::string::npos);
}

TEST(HostCommandTest, RegisterAndUnregisterAreReported) {
  auto registered = RunHost("register");
  EXPECT_EQ(registered.status, 0) << registered.output;
  EXPECT_NE(registered.output.find("OrvStockExcel.clsSTTechDescEx"), std::string::npos);
  auto about = RunHost("--techdesc about");
  EXPECT_EQ(about.status, 0) << about.output;
  EXPECT_NE(about.output.find("OrvStockTechDesc"), std::string::npos) << about.output;
  auto page = RunHost("help");
  EXPECT_EQ(page.status, 0) << page.output;
  EXPECT_NE(page.output.find("Stock%20Master.html"), std::string::npos) << page.output;
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
  EXPECT_NE(about.output.find("registered"), std::string::npos) << about.output;
}

}  // namespace
}  // namespace orv
