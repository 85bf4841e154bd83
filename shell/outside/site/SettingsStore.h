#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/outside/base/Variant.h"

namespace orv {

// The per-user settings file that stands in for the registry: a TOML file with one table per key
// path (for example "Software\Lumat\OrvStockExcel\Settings") holding named Boolean, number and
// text values. Reads go to the file every time; a write rewrites the whole file in one atomic
// replace, keeping every other key and value. A file that does not parse is never overwritten:
// reads and writes fail with an AppError naming the file. A store without a file (a blank path: the
// user profile names none) fails every read and write with UserProfile::kNoProfile.
class SettingsStore {
 public:
  using NamedValues = std::vector<std::pair<std::string, Variant>>;

  explicit SettingsStore(std::filesystem::path file);

  const std::filesystem::path& File() const { return file_; }
  const std::string& KeyPath() const { return key_path_; }
  void SetKeyPath(std::string key_path) { key_path_ = std::move(key_path); }

  // The value stored under the key path, or `default_value` when the file, the key or the value
  // does not exist.
  Variant ReadValue(std::string_view name, const Variant& default_value) const;
  // Stores the values under the key path in one replace of the file. An Empty or Null value
  // removes the name.
  void WriteValues(const NamedValues& values);
  void WriteValue(std::string_view name, const Variant& value) {
    WriteValues({{std::string(name), value}});
  }

 private:
  std::filesystem::path file_;
  std::string key_path_;
};

}  // namespace orv
