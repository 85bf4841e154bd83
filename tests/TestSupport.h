#pragma once

// What every test file may need: the run's private user profile, scratch folders, file bytes,
// the error a call raises, and components made through the library's own entry points.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "shell/DllExports.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/com/ComPtr.h"
#include "shell/outside/com/IClassFactory.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/site/UserProfile.h"
#include "shell/outside/ui/ScriptedUI.h"

namespace orv::test {

// The user profile of the test run: a folder under a temporary home that the test binary's main
// creates, points HOME, XDG_CONFIG_HOME and ORVSTOCK_CONFIG_DIR at (for the orvstock processes
// the tests start), empties before every test and removes at the end. No test sees the real
// profile.
const UserProfile& Profile();
// The folder of that profile.
const std::filesystem::path& ProfileFolder();

// A folder of its own for each test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// How often `part` occurs in `text`.
inline std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The AppError that `action` raises; a test failure when it raises none.
AppError Caught(const std::function<void()>& action);

// A host site whose questions take `answers` in order and whose messages stay for the test to read.
struct ScriptedSite {
  explicit ScriptedSite(std::deque<std::string> answers = {}, UserProfile profile = Profile())
      : ui(std::make_shared<ScriptedUI>(std::move(answers), notices, summary)),
        site(HostSite::Make(ui, std::move(profile))) {}
  ScriptedSite(const ScriptedSite&) = delete;
  ScriptedSite& operator=(const ScriptedSite&) = delete;

  std::ostringstream notices, summary;
  std::shared_ptr<ScriptedUI> ui;
  std::shared_ptr<HostSite> site;
};

// A component made through DllGetClassObject and its class object, as a host makes one.
template <class Interface>
ComPtr<Interface> Make(const CLSID& clsid, const IID& iid) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(DllGetClassObject(&clsid, &IID_IClassFactory, factory.Receive()), S_OK);
  ComPtr<Interface> component;
  if (factory) {
    EXPECT_EQ(factory->CreateInstance(nullptr, iid, component.Receive()), S_OK);
  }
  return component;
}

}  // namespace orv::test
