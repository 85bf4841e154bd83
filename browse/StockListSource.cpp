#include "browse/StockListSource.h"

#include <fmt/format.h>

#include "browse/SqlSearch.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

StockListSource::StockListSource(std::shared_ptr<DataConnection> connection)
    : connection_(std::move(connection)) {}

std::vector<std::string> StockListSource::Captions() const {
  return {"Warehouse", "Product", "Description", "Unit", "Physical"};
}

std::vector<RowSource::Row> StockListSource::Run(const std::string& tail,
                                                 const std::vector<Variant>& values) const {
  return SqlSearch::Rows(connection_->AdoConnection(),
                         "select warehouse, product, description, unit_code, physical_qty from " +
                             connection_->TableCatalogue().StockMaster() + tail,
                         values);
}

std::vector<RowSource::Row> StockListSource::Fetch(const Request& request) {
  auto text = [&](std::size_t i) {
    return i < request.search.size() ? ValueConvert::Trim(request.search[i]) : std::string();
  };
  SqlSearch search;
  if (!text(0).empty()) search.Add(SqlSearch::Equals("warehouse", text(0)));
  if (!text(1).empty()) search.Add(SqlSearch::StartsWith("product", text(1)));
  if (!text(2).empty()) search.Add(SqlSearch::Contains("description", text(2)));
  if (!request.after.empty()) search.Add(SqlSearch::After({"warehouse", "product"}, request.after));
  return Run(search.Where() + fmt::format(" order by warehouse, product limit {}", request.limit),
             search.Values());
}

std::optional<RowSource::Row> StockListSource::Find(const Row& key) {
  if (key.size() < 2) return std::nullopt;
  SqlSearch search;
  search.Add(SqlSearch::Equals("warehouse", key[0]));
  search.Add(SqlSearch::Equals("product", key[1]));
  auto rows = Run(search.Where(), search.Values());
  if (rows.empty()) return std::nullopt;
  return rows.front();
}

}  // namespace orv
