#include "shell/clsOrvStockEx.h"

#include "options/clsOrvStockExOptions.h"
#include "ranges/clsOrvStockRanges.h"
#include "shell/ComponentIdentity.h"
#include "shell/outside/CompanyPicker.h"
#include "shell/outside/ConnectionManager.h"
#include "shell/outside/HostSite.h"
#include "shell/outside/StandaloneSite.h"
#include "upload/clsOrvStock.h"

namespace orv {

clsOrvStockEx::clsOrvStockEx()
    : m_oOrvStock(std::make_shared<clsOrvStock>()), ranges_(std::make_unique<clsOrvStockRanges>()) {
  connection_manager_ = std::make_unique<ConnectionManager>();
  connection_manager_->Connection()->SetKeyString(ComponentIdentity::kKeyString);
  ranges_->SetOrvStock(m_oOrvStock);
}

clsOrvStockEx::~clsOrvStockEx() {
  m_oOrvStock.reset();
  update_all_ = false;
}

std::int32_t clsOrvStockEx::Index() const { return ranges_->Index(); }
void clsOrvStockEx::put_Index(std::int32_t index) { ranges_->SetIndex(index); }

clsOrvStockExOptions& clsOrvStockEx::Options() {
  if (!options_) options_ = std::make_shared<clsOrvStockExOptions>();
  return *options_;
}

HRESULT clsOrvStockEx::QueryInterface(const IID& iid, void** object) {
  return Answer(iid, object,
                {{IID__clsOrvStockEx, static_cast<_clsOrvStockEx*>(this)},
                 {IID_HostComponent, static_cast<HostComponent*>(this)}});
}

void clsOrvStockEx::SetSite(std::shared_ptr<HostSite> site) {
  site_ = std::move(site);
  if (!site_) return;
  if (!site_->companies_file.empty()) connection_manager_->SetCompaniesFile(site_->companies_file);
  connection_manager_->SetChosenCompany(site_->company);
}

HostSite& clsOrvStockEx::Site() {
  if (!site_) site_ = StandaloneSite::Make();
  return *site_;
}

void clsOrvStockEx::putref_m_wWrkActive(std::shared_ptr<Worksheet> sheet) {
  m_wWrkActive_ = std::move(sheet);
}

void clsOrvStockEx::putref_wkbActive(std::shared_ptr<Workbook> workbook) {
  m_objwkbActive_ = std::move(workbook);
}

void clsOrvStockEx::ShowHelpFile() {
  Site().ui->ShowHelp(std::filesystem::path(ORV_HELP_DIR) / ComponentIdentity::kHelpPage);
}

void clsOrvStockEx::About() {
  Site().ui->ShowAbout(VersionDescription(), ProgramName(), ComponentIdentity::kComments);
}

std::string clsOrvStockEx::VersionDescription() { return ComponentIdentity::VersionDescription(); }

std::string clsOrvStockEx::FullVersionDescription() {
  return ComponentIdentity::FullVersionDescription(m_oOrvStock->FullVersionDescription());
}

void clsOrvStockEx::SpecialBrowseCode(std::shared_ptr<Worksheet>&, bool&) {
  throw ComponentIdentity::NotAvailable("SpecialBrowseCode");
}

void clsOrvStockEx::SpecialShortcutCode(std::shared_ptr<Worksheet>&, bool&) {
  throw ComponentIdentity::NotAvailable("SpecialShortcutCode");
}

bool clsOrvStockEx::ChangeOrvConnection() {
  bool changed = false;
  Site().errors->Guard("ChangeOrvConnection of Class Module  clsOrvStockEx Line#:", [&](int& line) {
    line = 10;
    changed =
        connection_manager_->ChangeConnection([this](const std::vector<CompanyEntry>& companies) {
          return CompanyPicker::Choose(*Site().ui, companies);
        });
  });
  return changed;
}

void clsOrvStockEx::CloseConnection() { connection_manager_->Close(); }

void clsOrvStockEx::AddRanges(Application&) {
  Site().errors->Guard("AddRanges of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("AddRanges"); });
}

void clsOrvStockEx::UploadStock() {
  Site().errors->Guard("UploadStock of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("UploadStock"); });
}

void clsOrvStockEx::BrowseRanges(Range&) {
  Site().errors->Guard("BrowseRanges of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("BrowseRanges"); });
}

void clsOrvStockEx::EnterOptions() {
  Site().errors->Guard("EnterOptions of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("EnterOptions"); });
}

void clsOrvStockEx::BrowseStock(Range&) {
  Site().errors->Guard("BrowseStock of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("BrowseStock"); });
}

void clsOrvStockEx::ExtractStock() {
  Site().errors->Guard("ExtractStock of Class Module clsOrvStockEx Line#:", [&](int& line) {
    line = 10;
    throw ComponentIdentity::NotAvailable("ExtractStock");
  });
}

void clsOrvStockEx::ClearAllRanges() { throw ComponentIdentity::NotAvailable("ClearAllRanges"); }

void clsOrvStockEx::ViewStock(Range&) { throw ComponentIdentity::NotAvailable("ViewStock"); }

bool clsOrvStockEx::BrowseAvailable(Range&) {
  Site().errors->Guard("BrowseAvailable of Class Module clsOrvStockEx",
                       [&](int&) { throw ComponentIdentity::NotAvailable("BrowseAvailable"); });
  return false;
}

std::string clsOrvStockEx::CheckRangeExists(std::string&) {
  throw ComponentIdentity::NotAvailable("CheckRangeExists");
}

}  // namespace orv
