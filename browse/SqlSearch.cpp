#include "browse/SqlSearch.h"

#include <cctype>

#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"

namespace orv {
namespace {

std::int32_t CharacterCount(std::string_view text) {
  std::int32_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

SqlSearch::Condition SqlSearch::Equals(const std::string& column, const std::string& value) {
  return {column + " = ?", {Variant(value)}};
}

SqlSearch::Condition SqlSearch::StartsWith(const std::string& column, const std::string& text) {
  if (text.empty()) return {"1 = 1", {}};
  Condition exact{"substr(" + column + ", 1, ?) = ?",
                  {Variant(CharacterCount(text)), Variant(text)}};
  const unsigned char last = static_cast<unsigned char>(text.back());
  if (last >= 0x7F) return exact;
  // Every text that starts with "AB" lies in ["AB", "AC").
  std::string upper = text;
  upper.back() = static_cast<char>(last + 1);
  Condition range{column + " >= ? and " + column + " < ? and " + exact.sql,
                  {Variant(text), Variant(upper)}};
  range.values.insert(range.values.end(), exact.values.begin(), exact.values.end());
  return range;
}

SqlSearch::Condition SqlSearch::Contains(const std::string& column, const std::string& text) {
  std::string pattern = "%";
  for (char c : text) {
    if (c == '%' || c == '_' || c == '!') pattern += '!';
    pattern += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  pattern += '%';
  return {"lower(" + column + ") like ? escape '!'", {Variant(pattern)}};
}

SqlSearch::Condition SqlSearch::Either(const Condition& first, const Condition& second) {
  Condition either{"(" + first.sql + " or " + second.sql + ")", first.values};
  either.values.insert(either.values.end(), second.values.begin(), second.values.end());
  return either;
}

SqlSearch::Condition SqlSearch::After(const std::vector<std::string>& columns,
                                      const std::vector<std::string>& key) {
  Condition after;
  std::string names, markers;
  for (std::size_t i = 0; i < columns.size() && i < key.size(); ++i) {
    names += (i ? ", " : "") + columns[i];
    markers += i ? ", ?" : "?";
    after.values.emplace_back(key[i]);
  }
  after.sql = after.values.size() == 1 ? names + " > ?" : "(" + names + ") > (" + markers + ")";
  return after;
}

std::vector<std::vector<std::string>> SqlSearch::Rows(const std::shared_ptr<Connection>& connection,
                                                      std::string_view sql,
                                                      const std::vector<Variant>& values) {
  Recordset records;
  records.Open(sql, connection, values);
  std::vector<std::vector<std::string>> rows;
  for (; !records.Eof(); records.MoveNext()) {
    std::vector<std::string> row;
    for (std::size_t i = 0; i < records.FieldCount(); ++i)
      row.push_back(DataConnection::NullToText(records.FieldValue(i)));
    rows.push_back(std::move(row));
  }
  records.Close();
  return rows;
}

void SqlSearch::Add(Condition condition) {
  sql_ += (sql_.empty() ? "" : " and ") + condition.sql;
  values_.insert(values_.end(), condition.values.begin(), condition.values.end());
}

std::string SqlSearch::Where() const { return sql_.empty() ? std::string() : " where " + sql_; }

}  // namespace orv
