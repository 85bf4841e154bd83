#include "shell/DllExports.h"

#include <dlfcn.h>

#include <filesystem>
#include <new>
#include <string>

#include "shell/_clsOrvStockEx.h"
#include "shell/clsOrvStockEx.h"
#include "shell/outside/base/ErrorState.h"
#include "shell/outside/com/ClassFactory.h"
#include "shell/outside/com/ComModule.h"
#include "shell/outside/com/ComPtr.h"
#include "shell/outside/com/ComRegistry.h"
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
orv::HRESULT Failed(const std::string& why) {
  orv::ModuleErrorState().number = orv::SELFREG_E_CLASS;
  orv::ModuleErrorState().description = why;
  return orv::SELFREG_E_CLASS;
}

template <class Change>
orv::HRESULT ChangeRegistration(const char* registration_file, Change&& change) {
  if (registration_file == nullptr || *registration_file == '\0')
    return Failed("No registration file was given to register the components in");
  try {
    orv::ComRegistry registry{std::filesystem::path(registration_file)};
    for (const auto& served : kServedClasses) change(registry, served);
    return orv::S_OK;
  } catch (const std::exception& error) {
    return Failed(error.what());
  }
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

orv::HRESULT DllRegisterServer(const char* registration_file) {
  const auto server = orv::ComponentLibraryPath();
  return ChangeRegistration(
      registration_file, [&](orv::ComRegistry& registry, const ServedClass& served) {
        registry.Register(served.prog_id, served.clsid, server, served.description);
      });
}

orv::HRESULT DllUnregisterServer(const char* registration_file) {
  return ChangeRegistration(registration_file,
                            [](orv::ComRegistry& registry, const ServedClass& served) {
                              registry.Unregister(served.prog_id, served.clsid);
                            });
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
