#include "browse/CodeListSource.h"

#include <fmt/format.h>

#include "browse/SqlSearch.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

CodeListSource::CodeListSource(std::shared_ptr<DataConnection> connection,
                               const BrowseLists::List& list)
    : connection_(std::move(connection)), list_(list) {}

std::vector<std::string> CodeListSource::Captions() const { return {"Code", "Description"}; }

std::string CodeListSource::Select() const {
  return "select " + list_.code_column + ", " + list_.description_column + " from " +
         (connection_->TableCatalogue().*list_.table)();
}

std::vector<RowSource::Row> CodeListSource::Fetch(const Request& request) {
  SqlSearch search;
  if (!list_.type_column.empty())
    search.Add(SqlSearch::Equals(list_.type_column, list_.type_value));
  const std::string text =
      request.search.empty() ? std::string() : ValueConvert::Trim(request.search.front());
  if (!ValueConvert::IsBlank(text))
    search.Add(SqlSearch::Either(SqlSearch::StartsWith(list_.code_column, text),
                                 SqlSearch::Contains(list_.description_column, text)));
  if (!request.after.empty()) search.Add(SqlSearch::After({list_.code_column}, request.after));
  return SqlSearch::Rows(connection_->AdoConnection(),
                         Select() + search.Where() +
                             fmt::format(" order by {} limit {}", list_.code_column, request.limit),
                         search.Values());
}

std::optional<RowSource::Row> CodeListSource::Find(const Row& key) {
  if (key.empty()) return std::nullopt;
  SqlSearch search;
  if (!list_.type_column.empty())
    search.Add(SqlSearch::Equals(list_.type_column, list_.type_value));
  search.Add(SqlSearch::Equals(list_.code_column, key.front()));
  auto rows =
      SqlSearch::Rows(connection_->AdoConnection(), Select() + search.Where(), search.Values());
  if (rows.empty()) return std::nullopt;
  return rows.front();
}

}  // namespace orv
