#include "tests/TestSupport.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

namespace orv::test {
namespace {

std::filesystem::path NewTemporaryFolder(const char* prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + ".XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::filesystem::filesystem_error("cannot create a temporary folder", pattern,
                                            std::error_code(errno, std::generic_category()));
  return pattern;
}

// The run's temporary home; set by main before any test runs.
std::filesystem::path& Home() {
  static std::filesystem::path home;
  return home;
}

}  // namespace

const std::filesystem::path& ProfileFolder() {
  static const std::filesystem::path folder = Home() / ".config" / "orvstock";
  return folder;
}

const UserProfile& Profile() {
  static const UserProfile profile = UserProfile::InFolder(ProfileFolder());
  return profile;
}

ScratchFolder::ScratchFolder() : path_(NewTemporaryFolder("orvtest")) {}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

AppError Caught(const std::function<void()>& action) {
  try {
    action();
  } catch (const AppError& error) {
    return error;
  }
  ADD_FAILURE() << "no AppError was raised";
  return AppError(0, "", "");
}

namespace {

// Every test starts with an empty profile folder.
class FreshProfile : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    std::filesystem::remove_all(ProfileFolder());
    std::filesystem::create_directories(ProfileFolder());
  }
};

}  // namespace
}  // namespace orv::test

// The test binary's own main: the whole run gets a temporary home with its own profile, for the
// tests and for the orvstock processes they start; the variables that would point anywhere else
// are removed.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  namespace test = orv::test;
  test::Home() = test::NewTemporaryFolder("orvtest-home");
  const auto config = test::Home() / ".config";
  ::setenv("HOME", test::Home().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  ::setenv("ORVSTOCK_CONFIG_DIR", test::ProfileFolder().c_str(), 1);
  for (const char* name : {"ORVSTOCK_COMPANIES", "ORVSTOCK_SETTINGS", "DISPLAY", "WAYLAND_DISPLAY"})
    ::unsetenv(name);
  ::testing::UnitTest::GetInstance()->listeners().Append(new test::FreshProfile);
  const int status = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(test::Home(), ignored);
  return status;
}
