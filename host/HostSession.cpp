#include "host/HostSession.h"

#include <dlfcn.h>

#include "shell/DllExports.h"
#include "shell/outside/ErrorState.h"
#include "shell/outside/StandaloneSite.h"
#include "shell/outside/UserPaths.h"

namespace orv {
namespace {

std::filesystem::path LinkedLibrary() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&DllGetClassObject), &info) == 0 || !info.dli_fname)
    return {};
  return std::filesystem::absolute(info.dli_fname);
}

// This host serves its components from the library it was built with: a registration that is
// missing, or that points at another copy, is made anew as an installer would.
bool RegisteredHere(const ComRegistry& registry, std::string_view prog_id) {
  auto clsid = registry.ClsidFromProgId(prog_id);
  if (!clsid) return false;
  auto server = registry.ServerOf(*clsid);
  std::error_code ignored;
  return server && std::filesystem::equivalent(*server, LinkedLibrary(), ignored);
}

}  // namespace

HostSession::HostSession(Options options)
    : options_(std::move(options)),
      site_(StandaloneSite::Make(options_.answers)),
      factory_(ComRegistry(UserPaths::RegistrationFile())) {
  site_->companies_file = options_.companies_file;
  site_->company = options_.company;
}

HostSession::~HostSession() = default;

int HostSession::Run(const std::function<void(HostComponent&)>& action) {
  try {
    if (!RegisteredHere(ComRegistry(UserPaths::RegistrationFile()), options_.prog_id)) {
      if (DllRegisterServer() != S_OK)
        throw AppError(SELFREG_E_CLASS, "",
                       "Cannot register the components: " + ModuleErrorState().description);
      site_->ui->Notice("orvstock: registered the OrvStockExcel components in " +
                        UserPaths::RegistrationFile().string());
    }
    ComPtr<HostComponent> component = factory_.Create(options_.prog_id);
    component->SetSite(site_);
    action(*component);
  } catch (const AppError& error) {
    site_->errors->Report(error);
  } catch (const std::exception& error) {
    site_->errors->Report(AppError(kUnexpectedError, "orvstock", error.what()));
  }
  return site_->errors->ReportedCount() == 0 ? 0 : 1;
}

}  // namespace orv
