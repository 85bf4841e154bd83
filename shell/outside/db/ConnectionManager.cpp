#include "shell/outside/db/ConnectionManager.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/site/UserProfile.h"

namespace orv {
namespace {

std::string Listing(const CompaniesFile& file) {
  std::string codes;
  for (const auto& entry : file.Companies()) codes += (codes.empty() ? "" : ", ") + entry.code;
  return codes;
}

}  // namespace

ConnectionManager::ConnectionManager() : connection_(std::make_shared<DataConnection>()) {}

const std::filesystem::path& ConnectionManager::CompaniesFilePath() const {
  return UserProfile::Require(companies_path_, "companies file");
}

const CompanyEntry& ConnectionManager::Decide(const CompaniesFile& file) const {
  auto path = CompaniesFilePath().string();
  if (file.Companies().empty())
    throw AppError(
        kNoCompany, "",
        "No company is set up in " + path + " (orvstock demo-db creates a demo company there)");
  std::string code = !company_code_.empty() ? company_code_
                     : !chosen_.empty()     ? chosen_
                                            : file.DefaultCompany();
  if (code.empty()) {
    if (file.Companies().size() == 1) return file.Companies().front();
    throw AppError(kNoCompany, "",
                   "No company chosen: name one with --company or set \"default\" in " + path +
                       " (companies: " + Listing(file) + ")");
  }
  const CompanyEntry* entry = file.Find(code);
  if (!entry)
    throw AppError(kUnknownCompany, "",
                   "Unknown company '" + code + "': " + path + " lists " + Listing(file));
  return *entry;
}

void ConnectionManager::OpenOn(const CompanyEntry& entry) {
  if (connection_->IsOpen() && connection_->CompanyCode() == entry.code) return;
  try {
    connection_->Open(entry.Target(), entry.code);
    open_name_ = entry.description.empty() ? entry.code : entry.description;
  } catch (const AppError& error) {
    throw AppError(error.Number(), error.Source(),
                   "Company " + entry.code + ": " + error.Description());
  }
}

std::shared_ptr<DataConnection> ConnectionManager::Open() {
  CompaniesFile file = CompaniesFile::Load(CompaniesFilePath());
  const CompanyEntry& entry = Decide(file);
  OpenOn(entry);
  return connection_;
}

void ConnectionManager::Close() { connection_->Close(); }

std::shared_ptr<DataConnection> ConnectionManager::OpenForWorkbook(
    const std::optional<std::string>& sheet_company) {
  if (sheet_company) {
    if (!company_from_sheet_) Close();
    company_from_sheet_ = true;
    company_code_ = *sheet_company;
  } else {
    if (company_from_sheet_) Close();
    company_from_sheet_ = false;
    company_code_.clear();
  }
  return Open();
}

bool ConnectionManager::ChangeConnection(const CompanyChooser& choose) {
  RefreshCompanyList();
  if (company_list_.empty())
    throw AppError(kNoCompany, "", "No company is set up in " + CompaniesFilePath().string());
  std::optional<std::string> picked = choose ? choose(company_list_) : std::nullopt;
  EndCompanyChoice();
  if (!picked || picked->empty()) return false;
  CompaniesFile file = CompaniesFile::Load(CompaniesFilePath());
  const CompanyEntry* entry = file.Find(*picked);
  if (!entry)
    throw AppError(kUnknownCompany, "",
                   "Unknown company '" + *picked + "': " + CompaniesFilePath().string() +
                       " lists " + Listing(file));
  OpenOn(*entry);
  chosen_ = entry->code;
  return true;
}

bool ConnectionManager::CanChooseCompany() {
  RefreshCompanyList();
  return !company_list_.empty();
}

void ConnectionManager::RefreshCompanyList() {
  company_list_ = CompaniesFile::Load(CompaniesFilePath()).Companies();
}

}  // namespace orv
