#include "host/HostSession.h"

#include <iostream>

#include "shell/DllExports.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/ErrorState.h"
#include "shell/outside/site/StandaloneSite.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/XlsxDocument.h"
#include "shell/outside/xlsx/XlsxRangeList.h"

namespace orv {
namespace {

// This host serves its components from the library it was built with: a registration that is
// missing, or that points at another copy, is made anew as an installer would.
bool RegisteredHere(const ComRegistry& registry, std::string_view prog_id) {
  auto clsid = registry.ClsidFromProgId(prog_id);
  if (!clsid) return false;
  auto server = registry.ServerOf(*clsid);
  std::error_code ignored;
  return server && std::filesystem::equivalent(*server, ComponentLibraryPath(), ignored);
}

}  // namespace

HostSession::HostSession(Options options, UserProfile profile)
    : options_(std::move(options)),
      site_(StandaloneSite::Make(std::move(profile), options_.answers, summary_)),
      factory_(ComRegistry(site_->profile.registration_file)) {
  site_->company = options_.company;
  site_->upload_check = options_.upload_check;
  for (const auto& [form, action] : options_.standing_answers)
    site_->ui->SetStandingAnswer(form, action);
  site_->picker_search = options_.picker_search;
  site_->errors->SetDetailed(options_.verbose);
}

HostSession::~HostSession() = default;

void HostSession::OpenWorkbook() {
  std::error_code error;
  auto file = std::filesystem::is_symlink(options_.workbook, error)
                  ? std::filesystem::weakly_canonical(options_.workbook, error)
                  : options_.workbook;
  // Refused before any work when it could not be saved; held against other runs until saved.
  if (std::filesystem::is_regular_file(file, error)) {
    XlsxDocument::CheckWritable(file);
    lock_ = std::make_unique<FileLock>(file);
  }
  workbook_ = Workbook::Open(file);
  site_->application = std::make_shared<Application>(workbook_);
  if (!options_.sheet.empty()) site_->application->SetActiveSheet(options_.sheet);
  if (!options_.cell.empty()) site_->application->SetActiveCell(options_.cell);
  if (options_.prog_id.empty())
    options_.prog_id = XlsxRangeList::OwnerProgId(*workbook_).value_or(kStockProgId);
}

void HostSession::SaveWorkbook() {
  if (!workbook_->Document().HasChanges()) return;
  for (const auto& warning : {workbook_->LockWarning(), workbook_->Document().HardLinkWarning()})
    if (warning) site_->ui->Notice("orvstock: " + *warning);
  workbook_->Save();
  saved_ = true;
}

int HostSession::Run(const std::function<void(HostComponent&)>& action) {
  saved_ = false;
  try {
    if (!options_.workbook.empty()) OpenWorkbook();
    if (options_.prog_id.empty()) options_.prog_id = kStockProgId;
    const auto& registration = site_->profile.registration_file;
    if (!RegisteredHere(ComRegistry(registration), options_.prog_id)) {
      if (DllRegisterServer(registration.c_str()) != S_OK)
        throw AppError(SELFREG_E_CLASS, "",
                       "Cannot register the components: " + ModuleErrorState().description);
      site_->ui->Notice("orvstock: registered the OrvStockExcel components in " +
                        registration.string());
    }
    ComPtr<HostComponent> component =
        factory_.Create(options_.prog_id).As<HostComponent>(IID_HostComponent);
    if (!component)
      throw AppError(E_NOINTERFACE, "", "\"" + options_.prog_id + "\" is not a host component");
    component->SetSite(site_);
    if (workbook_) {
      component->putref_wkbActive(workbook_);
      component->put_Index(1);
      component->AddRanges(*site_->application);
    }
    // A member without a handler of its own hands its error to the host, which reports it; the
    // connection is closed either way. A workbook whose ranges could not be set up (its company
    // could not be opened) is not worked on: the run ends in an error whatever the action does,
    // so an action that wrote to the database would be reported as failed.
    try {
      if (site_->errors->ReportedCount() == 0) action(*component);
    } catch (...) {
      component->CloseConnection();
      throw;
    }
    component->CloseConnection();
  } catch (const AppError& error) {
    site_->errors->Report(error);
  } catch (const std::exception& error) {
    site_->errors->Report(AppError(kUnexpectedError, "orvstock", error.what()));
  }
  if (site_->errors->ReportedCount() != 0) {
    if (workbook_)
      site_->ui->Notice("orvstock: " + options_.workbook.string() + " was not changed");
    return 1;
  }
  if (workbook_) {
    try {
      SaveWorkbook();
    } catch (const AppError& error) {
      site_->errors->Report(error);
      site_->ui->Notice("orvstock: " + options_.workbook.string() + " was not changed");
      return 1;
    } catch (const std::exception& error) {
      site_->errors->Report(AppError(kUnexpectedError, "orvstock", error.what()));
      site_->ui->Notice("orvstock: " + options_.workbook.string() + " was not changed");
      return 1;
    }
  }
  std::cout << summary_.str() << std::flush;
  return site_->errors->FailureCount() == 0 ? 0 : 1;
}

}  // namespace orv
