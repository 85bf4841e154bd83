#include "shell/outside/db/DatabaseTarget.h"

#include <libpq-fe.h>

#include <regex>

namespace orv {

DatabaseTarget DatabaseTarget::Parse(std::string_view text) {
  static const std::regex kPostgres(
      R"(^\s*postgres(ql)?://|(^|\s)(dbname|host|hostaddr|service)\s*=)", std::regex::icase);
  std::string value(text);
  if (std::regex_search(value, kPostgres)) return PostgreSQL(value);
  return SQLiteFile(value);
}

bool DatabaseTarget::Readable() const {
  if (kind == Kind::SQLite) return true;
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(location.c_str(), &error);
  if (error != nullptr) PQfreemem(error);
  if (options == nullptr) return false;
  PQconninfoFree(options);
  return true;
}

std::string DatabaseTarget::Display() const {
  if (kind == Kind::SQLite) return location;
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(location.c_str(), &error);
  if (error != nullptr) PQfreemem(error);
  if (options == nullptr)
    return "(a PostgreSQL connection string that cannot be read; not shown, as it may hold a "
           "password)";
  std::string shown, secrets;
  for (const PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    if (option->val == nullptr) continue;
    std::string value = option->val;
    if (option->dispchar != nullptr && option->dispchar[0] == '*') {
      secrets += " " + std::string(option->keyword) + "=***";
      continue;
    }
    if (value.empty() || value.find_first_of(" '\\") != std::string::npos) {
      std::string quoted = "'";
      for (char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
      }
      value = quoted + "'";
    }
    shown += (shown.empty() ? "" : " ") + std::string(option->keyword) + "=" + value;
  }
  PQconninfoFree(options);
  return shown.empty() && !secrets.empty() ? secrets.substr(1) : shown + secrets;
}

std::string DatabaseTarget::ScrubPasswords(std::string_view text) {
  // password=secret, password = 'se cret', and the user:secret@ part of a URI.
  static const std::regex kKeyword(R"((password\s*=\s*)('([^'\\]|\\.)*'|[^\s'"]+))",
                                   std::regex::icase);
  static const std::regex kUri(R"((postgres(ql)?://[^:/@\s]*:)[^@\s]*@)", std::regex::icase);
  static const std::regex kQuery(R"(([?&]password=)[^&\s]*)", std::regex::icase);
  std::string out = std::regex_replace(std::string(text), kKeyword, "$1***");
  out = std::regex_replace(out, kUri, "$1***@");
  return std::regex_replace(out, kQuery, "$1***");
}

}  // namespace orv
