#include "shell/ComponentServices.h"

#include "shell/ComponentIdentity.h"
#include "shell/outside/db/CompanyPicker.h"
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/site/StandaloneSite.h"

namespace orv {

ComponentServices::ComponentServices()
    : connection_manager_(std::make_unique<ConnectionManager>()) {
  connection_manager_->Connection()->SetKeyString(ComponentIdentity::kKeyString);
}

ComponentServices::~ComponentServices() = default;

void ComponentServices::SetSite(std::shared_ptr<HostSite> site) {
  site_ = std::move(site);
  if (!site_) return;
  if (!site_->companies_file.empty()) connection_manager_->SetCompaniesFile(site_->companies_file);
  connection_manager_->SetChosenCompany(site_->company);
  connection_manager_->Connection()->AdoConnection()->SetFaultPlan(site_->database_faults);
}

HostSite& ComponentServices::Site() {
  if (!site_) site_ = StandaloneSite::Make();
  return *site_;
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
  return changed;
}

bool ComponentServices::ConfirmCleardown() {
  return Site().ui->MsgBox("Confirm cleardown of data on sheet?", MsgButtons::kOKCancel,
                           MsgIcon::kNone, "") == MsgAnswer::kOK;
}

}  // namespace orv
