#include "shell/DllExports.h"

#include <dlfcn.h>

#include <filesystem>
#include <new>

#include "shell/_clsOrvStockEx.h"
#include "shell/clsOrvStockEx.h"
#include "shell/outside/base/ErrorState.h"
#include "shell/outside/com/ClassFactory.h"
#include "shell/outside/com/ComModule.h"
#include "shell/outside/com/ComPtr.h"
#include "shell/outside/com/ComRegistry.h"
#include "shell/outside/site/UserPaths.h"
#include "techdesc/_clsSTTechDescEx.h"
#include "techdesc/clsSTTechDescEx.h"

namespace {

struct ServedClass {
  const char* prog_id;
  const orv::CLSID& clsid;
  const char* description;
};

const ServedClass kServedClasses[] = {
    {orv::kStockProgId, orv::CLSID_clsOrvStockEx, "Stock master maintenance"},
    {orv::kTechDescProgId, orv::CLSID_clsSTTechDescEx, "Stock technical descriptions"},
};

// Registration failures are told through the module error state, which the host reads back.
orv::HRESULT Failed(const std::exception& error) {
  orv::ModuleErrorState().number = orv::SELFREG_E_CLASS;
  orv::ModuleErrorState().description = error.what();
  return orv::SELFREG_E_CLASS;
}

template <class Component>
orv::HRESULT HandFactory(const orv::IID& iid, void** object) {
  auto factory =
      orv::ComPtr<orv::IClassFactory>::Attach(new (std::nothrow) orv::ClassFactory<Component>());
  if (!factory) return orv::E_OUTOFMEMORY;
  return factory->QueryInterface(iid, object);
}

}  // namespace

std::filesystem::path orv::ComponentLibraryPath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&DllGetClassObject), &info) == 0 || !info.dli_fname)
    return {};
  return std::filesystem::absolute(info.dli_fname);
}

std::optional<orv::CLSID> orv::ServedClassOf(std::string_view prog_id) {
  for (const auto& served : kServedClasses)
    if (prog_id == served.prog_id) return served.clsid;
  return std::nullopt;
}

extern "C" {

orv::HRESULT DllRegisterServer() {
  try {
    auto server = orv::ComponentLibraryPath();
    orv::ComRegistry registry(orv::UserPaths::RegistrationFile());
    for (const auto& served : kServedClasses)
      registry.Register(served.prog_id, served.clsid, server, served.description);
    return orv::S_OK;
  } catch (const std::exception& error) {
    return Failed(error);
  }
}

orv::HRESULT DllUnregisterServer() {
  try {
    orv::ComRegistry registry(orv::UserPaths::RegistrationFile());
    for (const auto& served : kServedClasses) registry.Unregister(served.prog_id, served.clsid);
    return orv::S_OK;
  } catch (const std::exception& error) {
    return Failed(error);
  }
}

orv::HRESULT DllGetClassObject(const orv::CLSID* clsid, const orv::IID* iid, void** object) {
  if (!clsid || !iid || !object) return orv::E_POINTER;
  *object = nullptr;
  if (*clsid == orv::CLSID_clsOrvStockEx) return HandFactory<orv::clsOrvStockEx>(*iid, object);
  if (*clsid == orv::CLSID_clsSTTechDescEx) return HandFactory<orv::clsSTTechDescEx>(*iid, object);
  return orv::CLASS_E_CLASSNOTAVAILABLE;
}

orv::HRESULT DllCanUnloadNow() { return orv::ComModule::CanUnload() ? orv::S_OK : orv::S_FALSE; }
}
