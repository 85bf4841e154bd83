#pragma once

#include <memory>
#include <optional>
#include <string>

#include "shell/outside/base/Variant.h"
#include "shell/outside/ui/RowSource.h"

namespace orv {

class DataConnection;

// The rows of the stock browse from the stock master: warehouse, product, description, stock
// unit and physical quantity, in warehouse and product order, a page at a time by the last key
// shown (the table's primary key serves both the order and the seek). The search texts are the
// warehouse (exact), the start of the product code and a part of the description.
class StockListSource : public RowSource {
 public:
  explicit StockListSource(std::shared_ptr<DataConnection> connection);

  std::vector<std::string> Captions() const override;
  std::size_t KeyWidth() const override { return 2; }
  std::vector<Row> Fetch(const Request& request) override;
  std::optional<Row> Find(const Row& key) override;

 private:
  std::vector<Row> Run(const std::string& tail, const std::vector<Variant>& values) const;

  std::shared_ptr<DataConnection> connection_;
};

}  // namespace orv
