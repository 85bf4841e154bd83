#include "browse/SqlListSource.h"

#include <algorithm>
#include <cctype>

#include <fmt/format.h>

#include "browse/SqlSearch.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"

namespace orv {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

SqlListSource::SqlListSource(std::shared_ptr<DataConnection> connection, std::string sql,
                             std::vector<Variant> values, std::string returned_column)
    : connection_(std::move(connection)),
      sql_(std::move(sql)),
      values_(std::move(values)),
      column_(std::move(returned_column)) {}

std::vector<std::string> SqlListSource::Captions() const {
  if (!captions_.empty()) return captions_;
  Recordset records;
  records.Open("select * from (" + sql_ + ") q limit 0", connection_->AdoConnection(), values_);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < records.FieldCount(); ++i) names.push_back(records.FieldName(i));
  records.Close();
  auto found = std::find_if(names.begin(), names.end(),
                            [&](const std::string& name) { return SameName(name, column_); });
  if (found == names.end())
    throw AppError(kUnexpectedError, "",
                   "The list's statement returns no column " + column_ + ": " + sql_);
  returned_at_ = static_cast<std::size_t>(found - names.begin());
  std::rotate(names.begin(), found, found + 1);
  captions_ = std::move(names);
  return captions_;
}

std::vector<RowSource::Row> SqlListSource::Run(const std::string& tail,
                                               const std::vector<Variant>& tail_values) const {
  Captions();
  std::vector<Variant> values = values_;
  values.insert(values.end(), tail_values.begin(), tail_values.end());
  auto rows = SqlSearch::Rows(connection_->AdoConnection(), "select * from (" + sql_ + ") q" + tail,
                              values);
  for (auto& row : rows)
    if (returned_at_ < row.size())
      std::rotate(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(returned_at_),
                  row.begin() + static_cast<std::ptrdiff_t>(returned_at_) + 1);
  return rows;
}

std::vector<RowSource::Row> SqlListSource::Fetch(const Request& request) {
  SqlSearch search;
  const std::string column = "q." + column_;
  if (!request.search.empty() && !ValueConvert::IsBlank(request.search.front()))
    search.Add(SqlSearch::StartsWith(column, ValueConvert::Trim(request.search.front())));
  // Every column in the order, so that codes returned more than once keep their places.
  std::string order;
  for (const auto& name : Captions()) order += (order.empty() ? " order by q." : ", q.") + name;
  return Run(
      search.Where() + order + fmt::format(" limit {} offset {}", request.limit, request.offset),
      search.Values());
}

std::optional<RowSource::Row> SqlListSource::Find(const Row& key) {
  if (key.empty()) return std::nullopt;
  auto rows = Run(" where q." + column_ + " = ?", {Variant(key.front())});
  if (rows.empty()) return std::nullopt;
  return rows.front();
}

}  // namespace orv
