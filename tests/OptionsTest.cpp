#include "options/clsOrvStockExOptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <toml++/toml.h>

#include "shell/outside/base/AppError.h"
#include "tests/TestSupport.h"

namespace orv {
namespace {

using test::ReadBytes;
using test::WriteBytes;

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
  EXPECT_TRUE(options.Warn());
  EXPECT_FALSE(options.OnlyIgnoreBlankCells());
  EXPECT_FALSE(options.ShowDropdowns());
  EXPECT_FALSE(options.DoNotAllow());
  EXPECT_FALSE(options.AllowWOutWarn());
  EXPECT_FALSE(options.OnlySelectedRanges());
  EXPECT_TRUE(options.ClearDownload());
  EXPECT_FALSE(options.AppendDownload());
  EXPECT_FALSE(options.AppendDownloadCurrent());
  for (const auto& text :
       {options.WHFrom(), options.WHTo(), options.ProductFrom(), options.ProductTo(),
        options.WHFromTxt(), options.WHToTxt(), options.ProdFromTxt(), options.ProdToTxt()})
    EXPECT_EQ(text, "");
  for (int i = 1; i <= 15; ++i) EXPECT_EQ(options.WH(i), "") << i;
  EXPECT_THROW(options.WH(16), AppError);
  EXPECT_THROW(options.SetWH(0, "01"), AppError);
  EXPECT_FALSE(std::filesystem::exists(file_));
}

TEST_F(Options, SavedValuesReadBackEqual) {
  {
    clsOrvStockExOptions options = Stock();
    options.SetOnlyIgnoreBlankCells(true);
    options.SetShowDropdowns(true);
    options.SetDoNotAllow(true);
    options.SetAllowWOutWarn(true);
    options.SetWarn(false);
    options.SaveToRegistry();
    options.SetOnlySelectedRanges(true);
    options.SetWHFrom("01");
    options.SetWHTo("99");
    options.SetProductFrom("A \"quoted\" product");
    options.SetProductTo("back\\slash");
    options.SetWHFromTxt("  padded  ");
    options.SetWHToTxt("Zürich");
    options.SetProdFromTxt("line\nbreak");
    options.SetProdToTxt("it's #1\t'''x'''");
    options.SetClearDownload(false);
    options.SetAppendDownload(true);
    options.SetAppendDownloadCurrent(true);
    for (int i = 1; i <= 15; ++i) options.SetWH(i, "W" + std::to_string(i));
    options.SaveSRToRegistry();
  }
  clsOrvStockExOptions options = Stock();
  EXPECT_TRUE(options.OnlyIgnoreBlankCells());
  EXPECT_TRUE(options.ShowDropdowns());
  EXPECT_TRUE(options.DoNotAllow());
  EXPECT_TRUE(options.AllowWOutWarn());
  EXPECT_FALSE(options.Warn());
  EXPECT_TRUE(options.OnlySelectedRanges());
  EXPECT_EQ(options.WHFrom(), "01");
  EXPECT_EQ(options.WHTo(), "99");
  EXPECT_EQ(options.ProductFrom(), "A \"quoted\" product");
  EXPECT_EQ(options.ProductTo(), "back\\slash");
  EXPECT_EQ(options.WHFromTxt(), "  padded  ");
  EXPECT_EQ(options.WHToTxt(), "Zürich");
  EXPECT_EQ(options.ProdFromTxt(), "line\nbreak");
  EXPECT_EQ(options.ProdToTxt(), "it's #1\t'''x'''");
  EXPECT_FALSE(options.ClearDownload());
  EXPECT_TRUE(options.AppendDownload());
  EXPECT_TRUE(options.AppendDownloadCurrent());
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
  EXPECT_EQ(before.find("09"), std::string::npos);
  EXPECT_EQ(ReadBytes(file_).find("09"), std::string::npos);
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
    EXPECT_NE(error.Description().find("Warn"), std::string::npos);
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
    EXPECT_NE(error.Description().find(file_.string()), std::string::npos);
    EXPECT_NE(error.Description().find("damaged"), std::string::npos);
    EXPECT_NE(error.Description().find("line 2"), std::string::npos) << error.Description();
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

}  // namespace
}  // namespace orv
