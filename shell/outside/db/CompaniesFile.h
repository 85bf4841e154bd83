#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/db/DatabaseTarget.h"

namespace orv {

// One company the user can connect to.
struct CompanyEntry {
  std::string code;
  std::string description;
  // A SQLite file path or a PostgreSQL connection string (which may hold a password: show it
  // only through Target().Display()).
  std::string database;

  DatabaseTarget Target() const { return DatabaseTarget::Parse(database); }
};

// The per-user list of companies, a TOML file:
//
//   default = "DEMO"
//
//   [companies.DEMO]
//   description = "Demo company"
//   database = "/home/me/demo.db"          # or "host=db1 dbname=erp user=me password=..."
//
// A relative SQLite path is taken relative to the file's folder. Company codes compare
// case-insensitively.
class CompaniesFile {
 public:
  static constexpr std::int32_t kMalformed = -2147221504 + 7002;  // vbObjectError + 7002

  // A missing file is an empty list; a malformed one an AppError naming the file, line and fault.
  static CompaniesFile Load(const std::filesystem::path& path);

  const std::vector<CompanyEntry>& Companies() const { return companies_; }
  const std::string& DefaultCompany() const { return default_; }
  const CompanyEntry* Find(std::string_view code) const;

  // Adds the company or replaces the one with the same code; makes it the default when asked or
  // when there is no default yet.
  void Register(CompanyEntry entry, bool make_default);
  // Writes the file in one step (a crash leaves the old file or the new one).
  void Save(const std::filesystem::path& path) const;

 private:
  std::vector<CompanyEntry> companies_;
  std::string default_;
};

}  // namespace orv
