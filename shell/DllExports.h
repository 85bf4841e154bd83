#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "shell/outside/com/IUnknown.h"

// The library's entry points for any host that loads it: registration in the per-user
// registration file, class objects by class identifier, and whether the library may be unloaded.
#define ORV_EXPORT __attribute__((visibility("default")))

extern "C" {
// Record (or remove) both components' ProgIDs, class identifiers and this library in
// `registration_file`, the registration file of the user's profile (UserProfile's
// registration_file, a UTF-8 path). The library never looks for the user's files itself: the
// host that resolved the profile names the file. Entries of other libraries are kept.
// S_OK on success; SELFREG_E_CLASS for a null or empty path or a file that cannot be read or
// written, with the reason in ModuleErrorState().description.
ORV_EXPORT orv::HRESULT DllRegisterServer(const char* registration_file);
ORV_EXPORT orv::HRESULT DllUnregisterServer(const char* registration_file);
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
