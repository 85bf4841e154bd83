#include "shell/outside/db/DatabaseTarget.h"

#include <regex>

namespace orv {

DatabaseTarget DatabaseTarget::Parse(std::string_view text) {
  static const std::regex kPostgres(
      R"(^\s*postgres(ql)?://|(^|\s)(dbname|host|hostaddr|service)\s*=)", std::regex::icase);
  std::string value(text);
  if (std::regex_search(value, kPostgres)) return PostgreSQL(value);
  return SQLiteFile(value);
}

std::string DatabaseTarget::Display() const { return ScrubPasswords(location); }

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
