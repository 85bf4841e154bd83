#pragma once

#include <array>
#include <string>
#include <string_view>

#include "shell/outside/site/SettingsStore.h"

namespace orv {

// A component's user settings, kept in the per-user settings file under a key of its own. Two
// independent sets, each loaded on the first read of one of its values and written only by its
// save routine: the general options (blank cells on upload, dropdowns, the policy for existing
// records) and the download settings (the download dialog's last choices and fifteen default
// warehouses).
//
// A setter changes the value in memory only. It loads its set first, so that a later first read
// cannot replace the new value with the stored one; a save loads its set first too, so that saving
// a set never read writes the stored values back rather than blank ones.
class clsOrvStockExOptions {
 public:
  static constexpr std::string_view kStockKeyPath = "Software\\Lumat\\OrvStockExcel\\Settings";
  static constexpr std::string_view kTechDescKeyPath =
      "Software\\Lumat\\OrvStockTechDesc\\Settings";
  static constexpr int kWarehouseCount = 15;

  // Settings in the given store (the settings file of the user's profile); its key path is set
  // to the stock component's.
  explicit clsOrvStockExOptions(SettingsStore store);

  // The settings access; the technical description component points it at its own key path.
  SettingsStore& RegistrySetting() { return store_; }

  void LoadFromRegistry(bool force);
  void SaveToRegistry();
  void LoadSRFromRegistry(bool force);
  void SaveSRToRegistry();

  // General set.
  bool OnlyIgnoreBlankCells();
  void SetOnlyIgnoreBlankCells(bool value);
  bool ShowDropdowns();
  void SetShowDropdowns(bool value);
  bool DoNotAllow();
  void SetDoNotAllow(bool value);
  bool AllowWOutWarn();
  void SetAllowWOutWarn(bool value);
  bool Warn();
  void SetWarn(bool value);

  // Download set.
  bool OnlySelectedRanges();
  void SetOnlySelectedRanges(bool value);
  std::string WHFrom();
  void SetWHFrom(std::string value);
  std::string WHTo();
  void SetWHTo(std::string value);
  std::string ProductFrom();
  void SetProductFrom(std::string value);
  std::string ProductTo();
  void SetProductTo(std::string value);
  std::string WHFromTxt();
  void SetWHFromTxt(std::string value);
  std::string WHToTxt();
  void SetWHToTxt(std::string value);
  std::string ProdFromTxt();
  void SetProdFromTxt(std::string value);
  std::string ProdToTxt();
  void SetProdToTxt(std::string value);
  bool ClearDownload();
  void SetClearDownload(bool value);
  bool AppendDownload();
  void SetAppendDownload(bool value);
  bool AppendDownloadCurrent();
  void SetAppendDownloadCurrent(bool value);
  // WH1 to WH15: `number` runs from 1 to 15; any other number is an AppError.
  std::string WH(int number);
  void SetWH(int number, std::string value);

 private:
  struct General {
    bool OnlyIgnoreBlankCells = false;
    bool ShowDropdowns = false;
    bool DoNotAllow = false;
    bool AllowWOutWarn = false;
    bool Warn = true;
  };
  struct Download {
    bool OnlySelectedRanges = false;
    std::string WHFrom, WHTo, ProductFrom, ProductTo;
    std::string WHFromTxt, WHToTxt, ProdFromTxt, ProdToTxt;
    bool ClearDownload = true;
    bool AppendDownload = false;
    bool AppendDownloadCurrent = false;
    std::array<std::string, kWarehouseCount> WH;
  };

  General& LoadedGeneral();
  Download& LoadedDownload();
  bool ReadBool(std::string_view name, bool default_value) const;
  std::string ReadText(std::string_view name) const;

  SettingsStore store_;
  General general_;
  Download download_;
  bool general_loaded_ = false;
  bool download_loaded_ = false;
};

}  // namespace orv
