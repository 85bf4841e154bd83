#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

// The user's pick from the company list, or nothing when the picker was cancelled.
using CompanyChooser = std::function<std::optional<std::string>(const std::vector<CompanyEntry>&)>;

// Owns a component's connection object and decides which company it is open on. The company is,
// in this order: the code put from the workbook's "sage_company" cell; the company chosen for
// this run (orvstock --company, or ChangeConnection); the default company of the companies file;
// the only company listed.
class ConnectionManager {
 public:
  static constexpr std::int32_t kUnknownCompany = -2147221504 + 7001;  // vbObjectError + 7001
  static constexpr std::int32_t kNoCompany = -2147221504 + 7003;

  ConnectionManager();

  // The companies file of the user's profile. Until one is set (or when it is blank) every call
  // that needs the company list fails with UserProfile::kNoProfile.
  void SetCompaniesFile(std::filesystem::path path) { companies_path_ = std::move(path); }
  const std::filesystem::path& CompaniesFilePath() const;

  // The connection object; the same object for the manager's life, open or not.
  const std::shared_ptr<DataConnection>& Connection() const { return connection_; }

  bool CompanyFromSheet() const { return company_from_sheet_; }
  void SetCompanyFromSheet(bool from_sheet) { company_from_sheet_ = from_sheet; }
  // The company named by the workbook; empty leaves the choice to the manager.
  void SetCompanyCode(std::string code) { company_code_ = std::move(code); }
  const std::string& CompanyCode() const { return company_code_; }
  // orvstock --company: the company for this run when the workbook names none.
  void SetChosenCompany(std::string code) { chosen_ = std::move(code); }
  const std::string& ChosenCompany() const { return chosen_; }

  // Opens the connection on the company decided as above, or keeps it when it is already open
  // on that company. AppError for an unknown company, a missing database, a server that cannot
  // be reached or a database that is not a company database.
  std::shared_ptr<DataConnection> Open();
  void Close();
  bool IsOpen() const { return connection_->IsOpen(); }
  // The company the connection is open on; empty when closed.
  const std::string& OpenCompany() const { return connection_->CompanyCode(); }
  // How the user knows that company: its description in the companies file, else its code.
  const std::string& OpenCompanyName() const { return open_name_; }

  // How a component opens the connection for its workbook: with `sheet_company` (the workbook
  // has a "sage_company" range) the connection is closed first unless the previous workbook had
  // one too, and that company is used; without it, the connection is closed first when the
  // previous workbook had one, and the manager chooses.
  std::shared_ptr<DataConnection> OpenForWorkbook(const std::optional<std::string>& sheet_company);

  // Lets the user pick another company through `choose`; opens it and returns true, or returns
  // false when the user cancelled.
  bool ChangeConnection(const CompanyChooser& choose);

  // For the "sage_company" cell: whether there is a company to choose, the list the company
  // picker shows, and the end of a choice.
  bool CanChooseCompany();
  void RefreshCompanyList();
  const std::vector<CompanyEntry>& CompanyList() const { return company_list_; }
  void EndCompanyChoice() { company_list_.clear(); }

 private:
  const CompanyEntry& Decide(const CompaniesFile& file) const;
  void OpenOn(const CompanyEntry& entry);

  std::shared_ptr<DataConnection> connection_;
  std::filesystem::path companies_path_;
  bool company_from_sheet_ = false;
  std::string company_code_;
  std::string chosen_;
  std::vector<CompanyEntry> company_list_;
  std::string open_name_;
};

}  // namespace orv
