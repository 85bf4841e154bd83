#include "options/clsOrvStockExOptions.h"

#include <algorithm>
#include <cctype>

#include "shell/outside/base/AppError.h"

namespace orv {
namespace {

std::string WarehouseName(int number) { return "Warehouse " + std::to_string(number); }

std::size_t WarehouseSlot(int number) {
  if (number < 1 || number > clsOrvStockExOptions::kWarehouseCount)
    throw AppError(VbError::kSubscriptOutOfRange, "",
                   "There is no default warehouse " + std::to_string(number) + " (1 to 15)");
  return static_cast<std::size_t>(number - 1);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The Boolean conversion of a stored value: a Boolean, a number (non-zero is true), or a text
// holding either.
bool ToBool(const Variant& value, std::string_view name) {
  if (auto flag = std::get_if<bool>(&value.Value())) return *flag;
  if (value.IsNumeric()) return value.ToDouble() != 0;
  if (value.IsText()) {
    std::string text = Lower(value.ToText());
    if (text == "true") return true;
    if (text == "false") return false;
    try {
      return value.ToDouble() != 0;
    } catch (const AppError&) {
    }
  }
  throw AppError(VbError::kTypeMismatch, "",
                 "Type mismatch: the setting \"" + std::string(name) + "\" holds '" +
                     value.ToText() + "', which is not True or False");
}

}  // namespace

clsOrvStockExOptions::clsOrvStockExOptions(SettingsStore store) : store_(std::move(store)) {
  store_.SetKeyPath(std::string(kStockKeyPath));
}

bool clsOrvStockExOptions::ReadBool(std::string_view name, bool default_value) const {
  return ToBool(store_.ReadValue(name, Variant(default_value)), name);
}

std::string clsOrvStockExOptions::ReadText(std::string_view name) const {
  return store_.ReadValue(name, Variant(std::string())).ToText();
}

void clsOrvStockExOptions::LoadFromRegistry(bool force) {
  if (!force && general_loaded_) return;
  General loaded;
  loaded.OnlyIgnoreBlankCells = ReadBool("Ignore Blank Cells", false);
  loaded.ShowDropdowns = ReadBool("Show Dropdowns in Stock Download Screen", false);
  loaded.DoNotAllow = ReadBool("Do Not Allow", false);
  loaded.AllowWOutWarn = ReadBool("Allow without warning", false);
  loaded.Warn = ReadBool("Warn", true);
  general_ = loaded;
  general_loaded_ = true;
}

void clsOrvStockExOptions::SaveToRegistry() {
  const General& values = LoadedGeneral();
  store_.WriteValues({{"Ignore Blank Cells", values.OnlyIgnoreBlankCells},
                      {"Show Dropdowns in Stock Download Screen", values.ShowDropdowns},
                      {"Do Not Allow", values.DoNotAllow},
                      {"Warn", values.Warn},
                      {"Allow without warning", values.AllowWOutWarn}});
}

void clsOrvStockExOptions::LoadSRFromRegistry(bool force) {
  if (!force && download_loaded_) return;
  Download loaded;
  loaded.OnlySelectedRanges = ReadBool("Only Selected Ranges", false);
  loaded.WHFrom = ReadText("Warehouse From");
  loaded.WHTo = ReadText("Warehouse To");
  loaded.ProductFrom = ReadText("Product From");
  loaded.ProductTo = ReadText("Product To");
  loaded.WHFromTxt = ReadText("Warehouse From TextBox");
  loaded.WHToTxt = ReadText("Warehouse To TextBox");
  loaded.ProdFromTxt = ReadText("Product From TextBox");
  loaded.ProdToTxt = ReadText("Product To TextBox");
  loaded.ClearDownload = ReadBool("Clear Before Download", true);
  loaded.AppendDownload = ReadBool("Append", false);
  loaded.AppendDownloadCurrent = ReadBool("Append From Current Cell", false);
  for (int i = 1; i <= kWarehouseCount; ++i) loaded.WH[i - 1] = ReadText(WarehouseName(i));
  download_ = std::move(loaded);
  download_loaded_ = true;
}

void clsOrvStockExOptions::SaveSRToRegistry() {
  const Download& values = LoadedDownload();
  SettingsStore::NamedValues out{{"Only Selected Ranges", values.OnlySelectedRanges},
                                 {"Warehouse From", values.WHFrom},
                                 {"Warehouse To", values.WHTo},
                                 {"Product From", values.ProductFrom},
                                 {"Product To", values.ProductTo},
                                 {"Warehouse From TextBox", values.WHFromTxt},
                                 {"Warehouse To TextBox", values.WHToTxt},
                                 {"Product From TextBox", values.ProdFromTxt},
                                 {"Product To TextBox", values.ProdToTxt},
                                 {"Clear Before Download", values.ClearDownload},
                                 {"Append", values.AppendDownload},
                                 {"Append From Current Cell", values.AppendDownloadCurrent}};
  for (int i = 1; i <= kWarehouseCount; ++i) out.emplace_back(WarehouseName(i), values.WH[i - 1]);
  store_.WriteValues(out);
}

clsOrvStockExOptions::General& clsOrvStockExOptions::LoadedGeneral() {
  LoadFromRegistry(false);
  return general_;
}

clsOrvStockExOptions::Download& clsOrvStockExOptions::LoadedDownload() {
  LoadSRFromRegistry(false);
  return download_;
}

bool clsOrvStockExOptions::OnlyIgnoreBlankCells() { return LoadedGeneral().OnlyIgnoreBlankCells; }
void clsOrvStockExOptions::SetOnlyIgnoreBlankCells(bool value) {
  LoadedGeneral().OnlyIgnoreBlankCells = value;
}
bool clsOrvStockExOptions::ShowDropdowns() { return LoadedGeneral().ShowDropdowns; }
void clsOrvStockExOptions::SetShowDropdowns(bool value) { LoadedGeneral().ShowDropdowns = value; }
bool clsOrvStockExOptions::DoNotAllow() { return LoadedGeneral().DoNotAllow; }
void clsOrvStockExOptions::SetDoNotAllow(bool value) { LoadedGeneral().DoNotAllow = value; }
bool clsOrvStockExOptions::AllowWOutWarn() { return LoadedGeneral().AllowWOutWarn; }
void clsOrvStockExOptions::SetAllowWOutWarn(bool value) { LoadedGeneral().AllowWOutWarn = value; }
bool clsOrvStockExOptions::Warn() { return LoadedGeneral().Warn; }
void clsOrvStockExOptions::SetWarn(bool value) { LoadedGeneral().Warn = value; }

bool clsOrvStockExOptions::OnlySelectedRanges() { return LoadedDownload().OnlySelectedRanges; }
void clsOrvStockExOptions::SetOnlySelectedRanges(bool value) {
  LoadedDownload().OnlySelectedRanges = value;
}
std::string clsOrvStockExOptions::WHFrom() { return LoadedDownload().WHFrom; }
void clsOrvStockExOptions::SetWHFrom(std::string value) {
  LoadedDownload().WHFrom = std::move(value);
}
std::string clsOrvStockExOptions::WHTo() { return LoadedDownload().WHTo; }
void clsOrvStockExOptions::SetWHTo(std::string value) { LoadedDownload().WHTo = std::move(value); }
std::string clsOrvStockExOptions::ProductFrom() { return LoadedDownload().ProductFrom; }
void clsOrvStockExOptions::SetProductFrom(std::string value) {
  LoadedDownload().ProductFrom = std::move(value);
}
std::string clsOrvStockExOptions::ProductTo() { return LoadedDownload().ProductTo; }
void clsOrvStockExOptions::SetProductTo(std::string value) {
  LoadedDownload().ProductTo = std::move(value);
}
std::string clsOrvStockExOptions::WHFromTxt() { return LoadedDownload().WHFromTxt; }
void clsOrvStockExOptions::SetWHFromTxt(std::string value) {
  LoadedDownload().WHFromTxt = std::move(value);
}
std::string clsOrvStockExOptions::WHToTxt() { return LoadedDownload().WHToTxt; }
void clsOrvStockExOptions::SetWHToTxt(std::string value) {
  LoadedDownload().WHToTxt = std::move(value);
}
std::string clsOrvStockExOptions::ProdFromTxt() { return LoadedDownload().ProdFromTxt; }
void clsOrvStockExOptions::SetProdFromTxt(std::string value) {
  LoadedDownload().ProdFromTxt = std::move(value);
}
std::string clsOrvStockExOptions::ProdToTxt() { return LoadedDownload().ProdToTxt; }
void clsOrvStockExOptions::SetProdToTxt(std::string value) {
  LoadedDownload().ProdToTxt = std::move(value);
}
bool clsOrvStockExOptions::ClearDownload() { return LoadedDownload().ClearDownload; }
void clsOrvStockExOptions::SetClearDownload(bool value) { LoadedDownload().ClearDownload = value; }
bool clsOrvStockExOptions::AppendDownload() { return LoadedDownload().AppendDownload; }
void clsOrvStockExOptions::SetAppendDownload(bool value) {
  LoadedDownload().AppendDownload = value;
}
bool clsOrvStockExOptions::AppendDownloadCurrent() {
  return LoadedDownload().AppendDownloadCurrent;
}
void clsOrvStockExOptions::SetAppendDownloadCurrent(bool value) {
  LoadedDownload().AppendDownloadCurrent = value;
}

std::string clsOrvStockExOptions::WH(int number) {
  return LoadedDownload().WH[WarehouseSlot(number)];
}

void clsOrvStockExOptions::SetWH(int number, std::string value) {
  LoadedDownload().WH[WarehouseSlot(number)] = std::move(value);
}

}  // namespace orv
