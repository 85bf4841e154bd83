#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "shell/outside/com/IUnknown.h"

// The library's entry points for any host that loads it: registration in the per-user
// registration file, class objects by class identifier, and whether the library may be unloaded.
#define ORV_EXPORT __attribute__((visibility("default")))

extern "C" {
ORV_EXPORT orv::HRESULT DllRegisterServer();
ORV_EXPORT orv::HRESULT DllUnregisterServer();
ORV_EXPORT orv::HRESULT DllGetClassObject(const orv::CLSID* clsid, const orv::IID* iid,
                                          void** object);
// S_OK when no object of the library is alive and no host holds a lock, else S_FALSE.
ORV_EXPORT orv::HRESULT DllCanUnloadNow();
}

namespace orv {
// The file of the shared library these entry points live in, as registration records it.
std::filesystem::path ComponentLibraryPath();
// The class this library serves under `prog_id`; nullopt for a ProgID it does not serve.
std::optional<CLSID> ServedClassOf(std::string_view prog_id);
}  // namespace orv
