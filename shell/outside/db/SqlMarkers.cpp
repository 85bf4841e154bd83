#include "shell/outside/db/SqlMarkers.h"

namespace orv {

std::string SqlMarkers::MarkerName(int n) { return "p" + std::to_string(n); }

std::string SqlMarkers::ToNamed(std::string_view sql, int& count) {
  return Replace(
      sql, [](int n) { return ':' + MarkerName(n); }, count);
}

std::string SqlMarkers::Replace(std::string_view sql, const std::function<std::string(int)>& with,
                                int& count) {
  std::string out;
  out.reserve(sql.size() + 16);
  count = 0;
  char quote = 0;  // the quote that opened the literal or identifier we are inside
  for (std::size_t i = 0; i < sql.size(); ++i) {
    char c = sql[i];
    if (quote) {
      out += c;
      if (c == quote) quote = 0;  // a doubled quote closes and reopens: same result
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      out += c;
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      auto end = sql.find('\n', i);
      if (end == std::string_view::npos) end = sql.size();
      out.append(sql.substr(i, end - i));
      i = end - 1;
    } else if (c == '?') {
      out += with(++count);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace orv
