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
// case-insensitively. The file is the user's: saving edits only the lines of the companies
// registered since it was read (and the default), so comments, other entries and their spelling
// stay as the user wrote them.
class CompaniesFile {
 public:
  static constexpr std::int32_t kMalformed = -2147221504 + 7002;  // vbObjectError + 7002

  // An AppError unless `code` is one word that can name a company.
  static void CheckCode(std::string_view code);
  // An AppError naming the problem unless Save could write `path` (its folder exists and may be
  // written, or can be made; the file, when there, may be written).
  static void CheckWritable(const std::filesystem::path& path);
  // A missing file is an empty list; a malformed one an AppError naming the file, line and fault.
  static CompaniesFile Load(const std::filesystem::path& path);

  const std::vector<CompanyEntry>& Companies() const { return companies_; }
  const std::string& DefaultCompany() const { return default_; }
  const CompanyEntry* Find(std::string_view code) const;

  // Adds the company or replaces the one with the same code; makes it the default when asked or
  // when there is no default yet.
  void Register(CompanyEntry entry, bool make_default);
  // Writes the file in one step (a crash leaves the old file or the new one). An AppError, and
  // the file left alone, when the user's layout of it cannot be edited line by line (a company
  // written as an inline table): then the file needs editing by hand.
  void Save(const std::filesystem::path& path);
  // The file's text as read or last saved (empty for a new file).
  const std::string& Text() const { return text_; }

 private:
  std::vector<CompanyEntry> companies_;
  std::string default_;
  std::string text_;
  std::vector<std::string> changed_;
  bool default_changed_ = false;
};

}  // namespace orv
