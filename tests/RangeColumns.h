#pragma once

#include <cctype>
#include <map>
#include <string>
#include <string_view>

namespace orv::test {

// Lower case, without underscores and question marks: how range and column names are matched.
inline std::string Plain(std::string_view name) {
  std::string plain;
  for (char c : name)
    if (c != '_' && c != '?')
      plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return plain;
}

// The plain name of the ERP column a stock range shows: its own, but for the few the ERP names
// otherwise.
inline std::string ColumnOfRange(std::string_view range) {
  static const std::map<std::string, std::string> other = {
      {"bincode", "binnumber"},
      {"traceability", "batchtraceability"},
      {"maxstockleve", "maximumstockleve"},
      {"currentsubcontra", "currentsubcontrac"},
      {"standardprice", "price"},
      {"despatchunit", "despatchunits"},
      {"buyingunit", "purchaseunit"},
      {"buyingfactor", "purchasefactor"},
      {"averagesalevalu", "averagesalesvalu"},
      {"statisticsind", "statind"},
      {"processind", "procind"},
      {"held", "heldflag"},
      {"obsolete", "obsoleteflag"}};
  std::string plain = Plain(range);
  auto found = other.find(plain);
  return found == other.end() ? plain : found->second;
}

}  // namespace orv::test
