#include "shell/outside/db/CompaniesFile.h"

#include <toml++/toml.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/AtomicFile.h"
#include "shell/outside/base/SystemError.h"

namespace orv {
namespace {

bool SameCode(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// A TOML basic string.
std::string Quoted(std::string_view value) {
  std::string out = "\"";
  for (char c : value) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

std::string_view Trimmed(std::string_view line) {
  auto first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

bool IsHeader(std::string_view line) { return Trimmed(line).starts_with('['); }

// The code named by a "[companies.CODE]" header line (bare, "quoted" or 'literal'), if it is one.
std::optional<std::string> SectionCode(std::string_view line) {
  static const std::regex kSection(
      R"re(^\s*\[\s*companies\s*\.\s*(?:"([^"\\]*)"|'([^']*)'|([A-Za-z0-9_-]+))\s*\]\s*(#.*)?\r?$)re");
  std::match_results<std::string_view::const_iterator> match;
  if (!std::regex_match(line.begin(), line.end(), match, kSection)) return std::nullopt;
  for (int group = 1; group <= 3; ++group)
    if (match[group].matched) return match[group].str();
  return std::nullopt;
}

bool IsKey(std::string_view line, std::string_view key) {
  auto trimmed = Trimmed(line);
  if (!trimmed.starts_with(key)) return false;
  return Trimmed(trimmed.substr(key.size())).starts_with('=');
}

// `text` with the company's section written: its database and description lines replaced in
// place (comments and other keys kept), or a new section at the end.
std::string WithCompany(std::string text, const CompanyEntry& entry) {
  auto lines = Lines(text);
  const std::string database = "database = " + Quoted(entry.database);
  const std::string description = "description = " + Quoted(entry.description);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto code = SectionCode(lines[i]);
    if (!code || !SameCode(*code, entry.code)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !IsHeader(lines[end])) ++end;
    bool wrote_database = false, wrote_description = false;
    for (std::size_t k = i + 1; k < end; ++k) {
      if (IsKey(lines[k], "database")) {
        lines[k] = database;
        wrote_database = true;
      } else if (IsKey(lines[k], "description")) {
        lines[k] = description;
        wrote_description = true;
      }
    }
    std::vector<std::string> missing;
    if (!wrote_description) missing.push_back(description);
    if (!wrote_database) missing.push_back(database);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, missing.begin(),
                 missing.end());
    return Joined(lines);
  }
  if (!text.empty() && text.back() != '\n') text += '\n';
  return text + "\n[companies." + entry.code + "]\n" + description + "\n" + database + "\n";
}

// `text` with its top-level "default = ..." line set (before the first table when there is none).
std::string WithDefault(std::string text, const std::string& code) {
  auto lines = Lines(text);
  const std::string line = "default = " + Quoted(code);
  std::size_t first_table = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsHeader(lines[i])) {
      first_table = i;
      break;
    }
    if (IsKey(lines[i], "default")) {
      lines[i] = line;
      return Joined(lines);
    }
  }
  // Above the blank line that leads into the first table, if there is one.
  if (first_table > 0 && Trimmed(lines[first_table - 1]).empty()) --first_table;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(first_table), line);
  return Joined(lines);
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
  {
    std::ifstream in(path, std::ios::binary);
    file.text_.assign(std::istreambuf_iterator<char>(in), {});
  }
  toml::table root;
  try {
    root = toml::parse(file.text_, path.string());
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

void CompaniesFile::CheckCode(std::string_view code) {
  if (code.empty() || code.find_first_of(" \t\r\n\"'[].=#") != std::string_view::npos)
    throw AppError(CompaniesFile::kMalformed, "",
                   "A company code must be one word: '" + std::string(code) + "'");
}

void CompaniesFile::CheckWritable(const std::filesystem::path& path) {
  auto refuse = [&](const std::string& why) {
    throw AppError(kMalformed, "", "Cannot register the company in " + path.string() + ": " + why);
  };
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
      refuse(SystemError::Text(errno));
  }
  // The nearest folder that exists must be a folder the user may write in.
  auto folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
  while (!std::filesystem::exists(folder, error) && folder.has_parent_path() &&
         folder.parent_path() != folder)
    folder = folder.parent_path();
  if (!std::filesystem::is_directory(folder, error)) refuse(folder.string() + " is not a folder");
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    refuse(folder.string() + ": " + SystemError::Text(errno));
}

void CompaniesFile::Register(CompanyEntry entry, bool make_default) {
  CheckCode(entry.code);
  bool first = default_.empty();
  auto existing = std::find_if(companies_.begin(), companies_.end(),
                               [&](const CompanyEntry& e) { return SameCode(e.code, entry.code); });
  std::string code = entry.code;
  if (existing != companies_.end()) {
    entry.code = existing->code;  // the file's spelling of the code stays
    code = entry.code;
    *existing = std::move(entry);
  } else {
    companies_.push_back(std::move(entry));
  }
  if (std::none_of(changed_.begin(), changed_.end(),
                   [&](const std::string& c) { return SameCode(c, code); }))
    changed_.push_back(code);
  if (make_default || first) {
    default_ = code;
    default_changed_ = true;
  }
}

void CompaniesFile::Save(const std::filesystem::path& path) {
  std::string text = text_;
  if (text.empty())
    text =
        "# Companies orvstock can connect to: code, description and database (a SQLite file or\n"
        "# a PostgreSQL connection string).\n";
  for (const auto& code : changed_) text = WithCompany(std::move(text), *Find(code));
  if (default_changed_) text = WithDefault(std::move(text), default_);

  // What is written must read back as what is held.
  CompaniesFile check;
  try {
    auto root = toml::parse(text, path.string());
    check.default_ = root["default"].value_or(std::string());
    if (auto* companies = root["companies"].as_table()) {
      for (const auto& [key, node] : *companies) {
        CompanyEntry entry;
        entry.code = std::string(key.str());
        entry.database = node.as_table() ? (*node.as_table())["database"].value_or(std::string())
                                         : std::string();
        entry.description = node.as_table()
                                ? (*node.as_table())["description"].value_or(std::string())
                                : std::string();
        check.companies_.push_back(std::move(entry));
      }
    }
  } catch (const toml::parse_error&) {
    check.companies_.clear();
  }
  bool same = SameCode(check.default_, default_);
  for (const auto& code : changed_) {
    const CompanyEntry* held = Find(code);
    const CompanyEntry* written = check.Find(code);
    same = same && written && written->database == held->database &&
           written->description == held->description;
  }
  if (!same)
    throw AppError(kMalformed, "",
                   "Cannot update " + path.string() +
                       " line by line (a company written in another layout?); edit it by hand");

  std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
  AtomicFile::WriteText(path, text);
  // Connection strings may carry passwords.
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
      std::filesystem::perm_options::replace);
  text_ = std::move(text);
  changed_.clear();
  default_changed_ = false;
}

}  // namespace orv
