#include "shell/outside/db/CompaniesFile.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/AtomicFile.h"

namespace orv {
namespace {

bool SameCode(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

AppError Malformed(const std::filesystem::path& path, const std::string& fault) {
  return AppError(CompaniesFile::kMalformed, "",
                  "The companies file " + path.string() + " is malformed: " + fault);
}

}  // namespace

CompaniesFile CompaniesFile::Load(const std::filesystem::path& path) {
  CompaniesFile file;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return file;
  toml::table root;
  try {
    root = toml::parse_file(path.string());
  } catch (const toml::parse_error& fault) {
    const auto& where = fault.source().begin;
    throw Malformed(path, std::string(fault.description()) + " (line " +
                              std::to_string(where.line) + ", column " +
                              std::to_string(where.column) + ")");
  }
  if (auto* fallback = root.get("default")) {
    if (!fallback->is_string()) throw Malformed(path, "\"default\" must be a text");
    file.default_ = fallback->as_string()->get();
  }
  if (auto* companies = root.get("companies")) {
    if (!companies->is_table())
      throw Malformed(path, "\"companies\" must be a table of [companies.CODE] sections");
    for (const auto& [key, node] : *companies->as_table()) {
      std::string code(key.str());
      const toml::table* section = node.as_table();
      if (!section) throw Malformed(path, "companies." + code + " must be a table");
      CompanyEntry entry;
      entry.code = code;
      auto database = (*section)["database"].value<std::string>();
      if (!database || database->empty())
        throw Malformed(path, "company " + code + " has no \"database\" text");
      entry.database = *database;
      if (auto* description = section->get("description")) {
        if (!description->is_string())
          throw Malformed(path, "the description of company " + code + " must be a text");
        entry.description = description->as_string()->get();
      }
      auto target = entry.Target();
      if (target.kind == DatabaseTarget::Kind::SQLite &&
          std::filesystem::path(target.location).is_relative())
        entry.database = (path.parent_path() / target.location).lexically_normal().string();
      file.companies_.push_back(std::move(entry));
    }
  }
  if (!file.default_.empty()) {
    const CompanyEntry* chosen = file.Find(file.default_);
    if (!chosen) throw Malformed(path, "the default company " + file.default_ + " is not listed");
    file.default_ = chosen->code;
  }
  return file;
}

const CompanyEntry* CompaniesFile::Find(std::string_view code) const {
  for (const auto& entry : companies_)
    if (SameCode(entry.code, code)) return &entry;
  return nullptr;
}

void CompaniesFile::Register(CompanyEntry entry, bool make_default) {
  if (entry.code.empty() || entry.code.find_first_of(" \t\"'[].=") != std::string::npos)
    throw AppError(kMalformed, "", "A company code must be one word: '" + entry.code + "'");
  bool first = default_.empty();
  auto existing = std::find_if(companies_.begin(), companies_.end(),
                               [&](const CompanyEntry& e) { return SameCode(e.code, entry.code); });
  std::string code = entry.code;
  if (existing != companies_.end())
    *existing = std::move(entry);
  else
    companies_.push_back(std::move(entry));
  if (make_default || first) default_ = code;
}

void CompaniesFile::Save(const std::filesystem::path& path) const {
  toml::table root;
  if (!default_.empty()) root.insert("default", default_);
  toml::table companies;
  for (const auto& entry : companies_) {
    toml::table section;
    section.insert("description", entry.description);
    section.insert("database", entry.database);
    companies.insert(entry.code, std::move(section));
  }
  root.insert("companies", std::move(companies));
  std::ostringstream text;
  text << "# Companies orvstock can connect to: code, description and database (a SQLite file or\n"
          "# a PostgreSQL connection string).\n"
       << root << "\n";
  std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
  AtomicFile::WriteText(path, text.str());
  // Connection strings may carry passwords.
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
      std::filesystem::perm_options::replace);
}

}  // namespace orv
