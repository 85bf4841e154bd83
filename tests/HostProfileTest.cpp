// How the host finds the user's profile, and that the components work only on the profile they
// are given.

#include "shell/outside/site/UserProfile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/ErrorState.h"
#include "tests/HostRunner.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using Variables = std::map<std::string, std::string>;

UserProfile Resolved(const Variables& variables, const std::filesystem::path& config = {}) {
  return UserProfile::Resolve(
      [&](const char* name) {
        auto found = variables.find(name);
        return found == variables.end() ? std::string() : found->second;
      },
      config);
}

TEST(HostProfile, EachVariableWinsOverTheOnesAfterIt) {
  struct Case {
    Variables variables;
    std::filesystem::path config;
    std::filesystem::path folder, companies, settings;
  };
  const Variables all = {{"ORVSTOCK_CONFIG_DIR", "/c"},
                         {"XDG_CONFIG_HOME", "/x"},
                         {"HOME", "/h"},
                         {"ORVSTOCK_COMPANIES", "/e/companies.toml"},
                         {"ORVSTOCK_SETTINGS", "/e/settings.toml"}};
  const Case cases[] = {
      {all, "/opt/list.toml", "/c", "/opt/list.toml", "/e/settings.toml"},
      {all, "", "/c", "/e/companies.toml", "/e/settings.toml"},
      {{{"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}, "", "/x/orvstock", "", ""},
      {{{"HOME", "/h"}}, "", "/h/.config/orvstock", "", ""},
      // A variable set to nothing counts as unset.
      {{{"ORVSTOCK_CONFIG_DIR", ""},
        {"XDG_CONFIG_HOME", ""},
        {"HOME", "/h"},
        {"ORVSTOCK_COMPANIES", ""}},
       "",
       "/h/.config/orvstock",
       "",
       ""},
  };
  for (const auto& c : cases) {
    auto profile = Resolved(c.variables, c.config);
    const auto where = "folder " + c.folder.string();
    EXPECT_EQ(profile.registration_file, c.folder / "registration.toml") << where;
    EXPECT_EQ(profile.companies_file,
              c.companies.empty() ? c.folder / "companies.toml" : c.companies)
        << where;
    EXPECT_EQ(profile.settings_file, c.settings.empty() ? c.folder / "settings.toml" : c.settings)
        << where;
  }
}

TEST(HostProfile, ADesktopIsThereWhenEitherDisplayIsSet) {
  EXPECT_FALSE(Resolved({{"HOME", "/h"}}).desktop);
  EXPECT_FALSE(Resolved({{"HOME", "/h"}, {"DISPLAY", ""}}).desktop);
  EXPECT_TRUE(Resolved({{"HOME", "/h"}, {"DISPLAY", ":0"}}).desktop);
  EXPECT_TRUE(Resolved({{"HOME", "/h"}, {"WAYLAND_DISPLAY", "wayland-0"}}).desktop);
}

TEST(HostProfile, TheHostRegistersInTheProfileItResolvedFromHome) {
  test::ScratchFolder home;
  auto run = test::RunHost(
      "register", "env HOME='" + home.Path().string() + "' XDG_CONFIG_HOME= ORVSTOCK_CONFIG_DIR=");
  ASSERT_EQ(run.status, 0) << run.output;
  const auto file = home / ".config/orvstock/registration.toml";
  EXPECT_THAT(run.output, HasSubstr(file.string()));
  EXPECT_THAT(test::ReadBytes(file), HasSubstr(kStockProgId));
  EXPECT_TRUE(std::filesystem::is_empty(test::ProfileFolder()));
}

TEST(HostProfile, RegistrationNeedsTheFileNamed) {
  EXPECT_EQ(DllRegisterServer(nullptr), SELFREG_E_CLASS);
  EXPECT_EQ(DllUnregisterServer(""), SELFREG_E_CLASS);
  EXPECT_THAT(ModuleErrorState().description, HasSubstr("registration file"));
}

// A component that was lent no site has no profile: what needs a per-user file fails with
// kNoProfile, whatever the environment says, and no file is read or written.
TEST(HostProfile, AComponentWithoutASiteWorksOnNoUserFile) {
  auto stock = test::Make<_clsOrvStockEx>(CLSID_clsOrvStockEx, IID_clsOrvStockExInterface);
  test::WriteBytes(test::Profile().companies_file,
                   "[companies.DEMO]\ndatabase = '/nowhere/demo.db'\n");
  ModuleErrorState() = {};
  EXPECT_FALSE(stock->ChangeOrvConnection());
  EXPECT_EQ(ModuleErrorState().number, UserProfile::kNoProfile);
  EXPECT_THAT(ModuleErrorState().description, HasSubstr("companies file"));
  EXPECT_EQ(stock->ProgramName(), "OrvStockEx") << "what needs no profile still works";
  EXPECT_FALSE(std::filesystem::exists(test::Profile().settings_file));
}

}  // namespace
}  // namespace orv
