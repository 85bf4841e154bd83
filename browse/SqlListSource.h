#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/outside/base/Variant.h"
#include "shell/outside/ui/RowSource.h"

namespace orv {

class DataConnection;

// The rows of a select statement, for a code list: the returned column first, then the
// statement's other columns, in the order of the returned column. The statement's "?" markers
// take `values`; the one search text matches returned codes that start with it. Pages are taken
// by position, as an arbitrary statement may return a code more than once.
class SqlListSource : public RowSource {
 public:
  SqlListSource(std::shared_ptr<DataConnection> connection, std::string sql,
                std::vector<Variant> values, std::string returned_column);

  // The statement's columns, read once by running it for no rows.
  std::vector<std::string> Captions() const override;
  std::size_t KeyWidth() const override { return 1; }
  std::vector<Row> Fetch(const Request& request) override;
  std::optional<Row> Find(const Row& key) override;

 private:
  std::vector<Row> Run(const std::string& tail, const std::vector<Variant>& tail_values) const;

  std::shared_ptr<DataConnection> connection_;
  std::string sql_;
  std::vector<Variant> values_;
  std::string column_;
  mutable std::vector<std::string> captions_;
  mutable std::size_t returned_at_ = 0;
};

}  // namespace orv
