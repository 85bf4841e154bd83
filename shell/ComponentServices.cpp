#include "shell/ComponentServices.h"

#include "options/clsOrvStockExOptions.h"
#include "shell/ComponentIdentity.h"
#include "shell/outside/db/CompanyPicker.h"
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/site/StandaloneSite.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "upload/frmPostConfirm.h"

namespace orv {

ComponentServices::ComponentServices(std::string_view settings_key)
    : settings_key_(settings_key), connection_manager_(std::make_unique<ConnectionManager>()) {
  connection_manager_->Connection()->SetKeyString(ComponentIdentity::kKeyString);
}

ComponentServices::~ComponentServices() = default;

void ComponentServices::SetSite(std::shared_ptr<HostSite> site) {
  site_ = std::move(site);
  options_.reset();
  if (!site_) return;
  connection_manager_->SetCompaniesFile(site_->profile.companies_file);
  connection_manager_->SetChosenCompany(site_->company);
  connection_manager_->Connection()->AdoConnection()->SetFaultPlan(site_->database_faults);
}

HostSite& ComponentServices::Site() {
  if (!site_) SetSite(StandaloneSite::Make(UserProfile{}));
  return *site_;
}

const std::shared_ptr<clsOrvStockExOptions>& ComponentServices::Options() {
  if (!options_) {
    options_ = std::make_shared<clsOrvStockExOptions>(SettingsStore(Site().profile.settings_file));
    options_->RegistrySetting().SetKeyPath(settings_key_);
  }
  return options_;
}

bool ComponentServices::ChangeConnection(std::string_view tag) {
  bool changed = false;
  Site().errors->Guard(tag, [&](int& line) {
    line = 10;
    changed =
        connection_manager_->ChangeConnection([this](const std::vector<CompanyEntry>& companies) {
          return CompanyPicker::Choose(*Site().ui, companies);
        });
  });
  if (changed) Site().company = connection_manager_->ChosenCompany();
  return changed;
}

bool ComponentServices::ConfirmCleardown() {
  return Site().ui->MsgBox("Confirm cleardown of data on sheet?", MsgButtons::kOKCancel,
                           MsgIcon::kNone, "") == MsgAnswer::kOK;
}

bool ComponentServices::ConfirmPost() {
  frmPostConfirm confirm;
  confirm.Caption = "Company : " + Connections().OpenCompanyName();
  Site().ui->ShowModal(confirm);
  if (confirm.OKSelected()) return true;
  Site().ui->Notice("Upload cancelled: nothing was written");
  Site().errors->CountFailure();
  return false;
}

std::shared_ptr<RangeList> ComponentServices::NewRangeList(
    const std::shared_ptr<Workbook>& workbook) {
  if (Site().range_list) return Site().range_list;
  return std::make_shared<XlsxRangeList>(workbook);
}

std::shared_ptr<Worksheet> ComponentServices::ActiveSheet(
    const std::shared_ptr<Workbook>& workbook) {
  if (workbook) return workbook->ActiveSheet();
  if (Site().application) return Site().application->ActiveSheet();
  throw AppError(VbError::kObjectNotSet, "", "No workbook has been given to the component");
}

}  // namespace orv
