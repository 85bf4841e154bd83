#include "options/clsOrvStockExOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <optional>
#include <thread>
#include <tuple>

#include <toml++/toml.h>

#include "shell/HostComponent.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/AppError.h"
#include "techdesc/_clsSTTechDescEx.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using test::ReadBytes;
using test::WriteBytes;

// The five general values in the order Ignore Blank Cells, Show Dropdowns, Do Not Allow, Warn,
// Allow without warning.
using General = std::array<bool, 5>;
constexpr std::array<const char*, 5> kGeneralNames = {
    "Ignore Blank Cells", "Show Dropdowns in Stock Download Screen", "Do Not Allow", "Warn",
    "Allow without warning"};

General Loaded(clsOrvStockExOptions options) {
  return {options.OnlyIgnoreBlankCells(), options.ShowDropdowns(), options.DoNotAllow(),
          options.Warn(), options.AllowWOutWarn()};
}

// Each test starts with the test profile's settings file absent.
class Options : public ::testing::Test {
 protected:
  // The stock component's options over the profile's settings file.
  clsOrvStockExOptions Stock() const { return clsOrvStockExOptions(SettingsStore(file_)); }
  clsOrvStockExOptions TechDesc() const {
    clsOrvStockExOptions options = Stock();
    options.RegistrySetting().SetKeyPath(std::string(clsOrvStockExOptions::kTechDescKeyPath));
    return options;
  }

  const std::filesystem::path file_ = test::Profile().settings_file;
};

TEST_F(Options, FreshProfileGivesTheDefaultsAndWritesNothing) {
  clsOrvStockExOptions options = Stock();
  EXPECT_EQ(Loaded(options), (General{false, false, false, true, false}));
  EXPECT_FALSE(options.OnlySelectedRanges());
  EXPECT_TRUE(options.ClearDownload());
  EXPECT_FALSE(options.AppendDownload() || options.AppendDownloadCurrent());
  for (const auto& text : {options.WHFrom(), options.ProdToTxt(), options.WH(1), options.WH(15)})
    EXPECT_EQ(text, "");
  EXPECT_THROW(options.WH(16), AppError);
  EXPECT_THROW(options.SetWH(0, "01"), AppError);
  EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_F(Options, SavedValuesReadBackEqual) {
  using O = clsOrvStockExOptions;
  const std::vector<std::tuple<void (O::*)(std::string), std::string (O::*)(), std::string>> texts =
      {{&O::SetWHFrom, &O::WHFrom, "01"},
       {&O::SetWHTo, &O::WHTo, "99"},
       {&O::SetProductFrom, &O::ProductFrom, "A \"quoted\" product"},
       {&O::SetProductTo, &O::ProductTo, "back\\slash"},
       {&O::SetWHFromTxt, &O::WHFromTxt, "  padded  "},
       {&O::SetWHToTxt, &O::WHToTxt, "Zürich"},
       {&O::SetProdFromTxt, &O::ProdFromTxt, "line\nbreak"},
       {&O::SetProdToTxt, &O::ProdToTxt, "it's #1\t'''x'''"}};
  {
    O options = Stock();
    options.SetOnlyIgnoreBlankCells(true);
    options.SetShowDropdowns(true);
    options.SetDoNotAllow(true);
    options.SetAllowWOutWarn(true);
    options.SetWarn(false);
    options.SaveToRegistry();
    options.SetOnlySelectedRanges(true);
    options.SetClearDownload(false);
    options.SetAppendDownload(true);
    options.SetAppendDownloadCurrent(true);
    for (const auto& [set, get, value] : texts) (options.*set)(value);
    for (int i = 1; i <= 15; ++i) options.SetWH(i, "W" + std::to_string(i));
    options.SaveSRToRegistry();
  }
  O options = Stock();
  EXPECT_EQ(Loaded(options), (General{true, true, true, false, true}));
  EXPECT_TRUE(options.OnlySelectedRanges());
  EXPECT_FALSE(options.ClearDownload());
  EXPECT_TRUE(options.AppendDownload());
  EXPECT_TRUE(options.AppendDownloadCurrent());
  for (const auto& [set, get, value] : texts) EXPECT_EQ((options.*get)(), value);
  for (int i = 1; i <= 15; ++i) EXPECT_EQ(options.WH(i), "W" + std::to_string(i));

  auto stored = toml::parse_file(file_.string());
  EXPECT_EQ(stored["Software\\Lumat\\OrvStockExcel\\Settings"]["Warehouse 15"].value<std::string>(),
            "W15");
  EXPECT_EQ(stored["Software\\Lumat\\OrvStockExcel\\Settings"]["Warn"].value<bool>(), false);
}

TEST_F(Options, TheTwoComponentsNeverSeeEachOthersValues) {
  clsOrvStockExOptions stock = Stock();
  stock.SetWarn(false);
  stock.SetShowDropdowns(true);
  stock.SaveToRegistry();
  stock.SetWH(3, "07");
  stock.SaveSRToRegistry();

  auto tech = TechDesc();
  EXPECT_TRUE(tech.Warn());
  EXPECT_FALSE(tech.ShowDropdowns());
  EXPECT_EQ(tech.WH(3), "");
  tech.SetOnlyIgnoreBlankCells(true);
  tech.SaveToRegistry();

  clsOrvStockExOptions stock_again = Stock();
  EXPECT_FALSE(stock_again.OnlyIgnoreBlankCells());
  EXPECT_FALSE(stock_again.Warn());
  EXPECT_TRUE(stock_again.ShowDropdowns());
  EXPECT_EQ(stock_again.WH(3), "07");
  auto tech_again = TechDesc();
  EXPECT_TRUE(tech_again.OnlyIgnoreBlankCells());
  EXPECT_TRUE(tech_again.Warn());
}

TEST_F(Options, AnUnsavedChangeNeverReachesTheFile) {
  {
    clsOrvStockExOptions options = Stock();
    options.SetWH(3, "05");
    options.SaveSRToRegistry();
  }
  const std::string before = ReadBytes(file_);
  {
    clsOrvStockExOptions options = Stock();
    options.SetWH(3, "09");
    options.SetWarn(false);
    options.SaveToRegistry();  // the general set only
  }
  clsOrvStockExOptions options = Stock();
  EXPECT_EQ(options.WH(3), "05");
  EXPECT_FALSE(options.Warn());
  EXPECT_THAT(before, Not(HasSubstr("09")));
  EXPECT_THAT(ReadBytes(file_), Not(HasSubstr("09")));
}

TEST_F(Options, EachSetLoadsOnceUnlessForced) {
  clsOrvStockExOptions reader = Stock();
  EXPECT_FALSE(reader.ShowDropdowns());
  EXPECT_EQ(reader.WHFrom(), "");

  clsOrvStockExOptions writer = Stock();
  writer.SetShowDropdowns(true);
  writer.SaveToRegistry();
  writer.SetWHFrom("02");
  writer.SaveSRToRegistry();

  EXPECT_FALSE(reader.ShowDropdowns());
  reader.LoadFromRegistry(false);
  EXPECT_FALSE(reader.ShowDropdowns());
  EXPECT_EQ(reader.WHFrom(), "");
  reader.LoadFromRegistry(true);
  EXPECT_TRUE(reader.ShowDropdowns());
  EXPECT_EQ(reader.WHFrom(), "") << "the download set loads on its own";
  reader.LoadSRFromRegistry(true);
  EXPECT_EQ(reader.WHFrom(), "02");
}

TEST_F(Options, SavingASetNeverReadKeepsTheStoredValues) {
  {
    clsOrvStockExOptions options = Stock();
    options.SetWarn(false);
    options.SetDoNotAllow(true);
    options.SaveToRegistry();
    options.SetWH(3, "07");
    options.SaveSRToRegistry();
  }
  {
    clsOrvStockExOptions options = Stock();
    options.SaveToRegistry();
    options.SetWH(5, "11");  // a change before any read is kept, not replaced by the first load
    EXPECT_EQ(options.WH(5), "11");
    options.SaveSRToRegistry();
  }
  clsOrvStockExOptions options = Stock();
  EXPECT_FALSE(options.Warn());
  EXPECT_TRUE(options.DoNotAllow());
  EXPECT_EQ(options.WH(3), "07");
  EXPECT_EQ(options.WH(5), "11");
}

TEST_F(Options, HandWrittenValuesConvertAsBooleansAndTexts) {
  WriteBytes(file_,
             "[\"Software\\\\Lumat\\\\OrvStockExcel\\\\Settings\"]\n"
             "\"Ignore Blank Cells\" = \"True\"\n"
             "\"Do Not Allow\" = 1\n"
             "\"Warn\" = 0\n"
             "\"Warehouse From\" = 12\n");
  clsOrvStockExOptions options = Stock();
  EXPECT_TRUE(options.OnlyIgnoreBlankCells());
  EXPECT_TRUE(options.DoNotAllow());
  EXPECT_FALSE(options.Warn());
  EXPECT_EQ(options.WHFrom(), "12");

  WriteBytes(file_,
             "[\"Software\\\\Lumat\\\\OrvStockExcel\\\\Settings\"]\n"
             "\"Warn\" = \"perhaps\"\n");
  clsOrvStockExOptions mismatched = Stock();
  try {
    mismatched.Warn();
    FAIL() << "a text that is no Boolean was accepted";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), 13);
    EXPECT_THAT(error.Description(), HasSubstr("Warn"));
  }
}

TEST_F(Options, ADamagedFileIsAnErrorAndIsNeverOverwritten) {
  const std::string damaged = "[\"Software\\\\Lumat\\\\OrvStockExcel\\\\Settings\"]\nWarn = tru\n";
  WriteBytes(file_, damaged);
  clsOrvStockExOptions options = Stock();
  try {
    options.Warn();
    FAIL() << "a damaged file was read";
  } catch (const AppError& error) {
    EXPECT_THAT(error.Description(), HasSubstr(file_.string()));
    EXPECT_THAT(error.Description(), HasSubstr("damaged"));
    EXPECT_THAT(error.Description(), HasSubstr("line 2"));
  }
  auto tech = TechDesc();
  EXPECT_THROW(tech.SaveToRegistry(), AppError);
  EXPECT_EQ(ReadBytes(file_), damaged);

  WriteBytes(file_, "\"Software\\\\Lumat\\\\OrvStockExcel\\\\Settings\" = 5\n");
  clsOrvStockExOptions wrong_shape = Stock();
  EXPECT_THROW(wrong_shape.ShowDropdowns(), AppError);
  EXPECT_THROW(wrong_shape.SaveSRToRegistry(), AppError);
  EXPECT_EQ(ReadBytes(file_), "\"Software\\\\Lumat\\\\OrvStockExcel\\\\Settings\" = 5\n");
}

TEST_F(Options, ConcurrentSavesOfTheTwoComponentsKeepBothValues) {
  auto save_many = [this](std::string_view key_path) {
    SettingsStore store(file_);
    store.SetKeyPath(std::string(key_path));
    for (int i = 0; i < 60; ++i) store.WriteValue("Warehouse 1", std::to_string(i));
  };
  std::thread stock(save_many, clsOrvStockExOptions::kStockKeyPath);
  std::thread tech(save_many, clsOrvStockExOptions::kTechDescKeyPath);
  stock.join();
  tech.join();
  EXPECT_EQ(Stock().WH(1), "59");
  EXPECT_EQ(TechDesc().WH(1), "59");
}

TEST_F(Options, WithoutASettingsFileEveryReadAndSaveFailsAndNothingIsWritten) {
  clsOrvStockExOptions none{SettingsStore({})};
  EXPECT_EQ(test::Caught([&] { none.ShowDropdowns(); }).Number(), UserProfile::kNoProfile);
  EXPECT_EQ(test::Caught([&] { none.SaveSRToRegistry(); }).Number(), UserProfile::kNoProfile);
  EXPECT_TRUE(std::filesystem::is_empty(test::ProfileFolder()));
}

// EnterOptions of a new component of that class, the user's actions in the options dialog given
// in advance. Returns the number of errors reported.
int EnterOptions(const CLSID& clsid, std::deque<std::string> actions) {
  test::ScriptedSite scripted(std::move(actions));
  auto component = test::Make<HostComponent>(clsid, IID_HostComponent);
  component->SetSite(scripted.site);
  component->EnterOptions();
  EXPECT_EQ(scripted.ui->RemainingAnswers(), 0u) << scripted.notices.str();
  return scripted.site->errors->ReportedCount();
}

TEST_F(Options, TheOptionsDialogSavesOnOkOnlyAndShowsWhatIsStored) {
  struct Case {
    const char* what;
    std::optional<General> stored;
    std::deque<std::string> actions;
    General expected;
    bool saved;
  };
  const General defaults = {false, false, false, true, false};
  const std::vector<Case> cases = {
      {"a fresh profile, OK", std::nullopt, {"cmdOK"}, defaults, true},
      {"a fresh profile, the close box",
       std::nullopt,
       {"chkIgnoreBlankCells=1", "close"},
       defaults,
       false},
      {"Cancel after changing every control",
       General{true, false, false, false, true},
       {"chkIgnoreBlankCells=0", "chkShowStockDwnload=1", "optDoNotAllow", "cmdCancel"},
       General{true, false, false, false, true},
       false},
      {"OK without changes",
       General{true, true, false, false, true},
       {"cmdOK"},
       General{true, true, false, false, true},
       true},
      {"every control changed",
       std::nullopt,
       {"chkIgnoreBlankCells=1", "chkShowStockDwnload=1", "optAllowWidWarn", "cmdOK"},
       General{true, true, false, false, true},
       true},
      {"two policies stored: the later one is shown and kept",
       General{false, false, true, true, false},
       {"cmdOK"},
       defaults,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(file_);
    if (c.stored) {
      SettingsStore store(file_);
      store.SetKeyPath(std::string(clsOrvStockExOptions::kStockKeyPath));
      SettingsStore::NamedValues values;
      for (std::size_t i = 0; i < kGeneralNames.size(); ++i)
        values.emplace_back(kGeneralNames[i], Variant((*c.stored)[i]));
      values.emplace_back("Warehouse 3", Variant(std::string("02")));
      store.WriteValues(values);
    }
    const std::string before = test::ReadBytes(file_);
    EXPECT_EQ(EnterOptions(CLSID_clsOrvStockEx, c.actions), 0);
    EXPECT_EQ(Loaded(Stock()), c.expected);
    if (!c.saved) {
      EXPECT_EQ(test::ReadBytes(file_), before) << "nothing is written without OK";
      continue;
    }
    // All five are written, each as a Boolean, and nothing else is lost.
    SettingsStore store(file_);
    store.SetKeyPath(std::string(clsOrvStockExOptions::kStockKeyPath));
    for (const char* name : kGeneralNames)
      EXPECT_TRUE(std::holds_alternative<bool>(store.ReadValue(name, Variant()).Value())) << name;
    if (c.stored) {
      EXPECT_EQ(Stock().WH(3), "02");
    }
  }
}

TEST_F(Options, EachComponentsDialogEditsItsOwnKey) {
  EXPECT_EQ(EnterOptions(CLSID_clsSTTechDescEx, {"chkIgnoreBlankCells=1", "cmdOK"}), 0);
  EXPECT_TRUE(TechDesc().OnlyIgnoreBlankCells());
  EXPECT_FALSE(Stock().OnlyIgnoreBlankCells());
  // The technical description dialog has the one box only.
  EXPECT_EQ(EnterOptions(CLSID_clsSTTechDescEx, {"chkShowStockDwnload=1"}), 1);
  EXPECT_EQ(EnterOptions(CLSID_clsSTTechDescEx, {"chkIgnoreBlankCells=0", "cmdCancel"}), 0);
  EXPECT_TRUE(TechDesc().OnlyIgnoreBlankCells());
}

}  // namespace
}  // namespace orv
