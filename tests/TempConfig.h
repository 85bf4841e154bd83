#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace orv::test {

// A private per-user configuration folder for one test: registrations, companies and settings
// written by the test go there and are removed afterwards.
class TempConfig {
 public:
  TempConfig() {
    std::random_device seed;
    dir_ = std::filesystem::temp_directory_path() /
           ("orvstock-test-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(dir_);
    ::setenv("ORVSTOCK_CONFIG_DIR", dir_.c_str(), 1);
  }
  ~TempConfig() {
    ::unsetenv("ORVSTOCK_CONFIG_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TempConfig(const TempConfig&) = delete;
  TempConfig& operator=(const TempConfig&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

}  // namespace orv::test
