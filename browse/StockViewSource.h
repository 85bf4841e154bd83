#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "shell/outside/db/PreparedStatement.h"
#include "shell/outside/ui/StockView.h"

namespace orv {

class DataConnection;

// The stock view's record from the stock master: description, units, quantities, levels, costs
// and dates of one warehouse and product, read by a statement prepared once.
class StockViewSource : public StockView::Source {
 public:
  explicit StockViewSource(std::shared_ptr<DataConnection> connection);

  std::optional<StockView::Lines> Read(std::string_view warehouse,
                                       std::string_view product) override;

 private:
  std::shared_ptr<DataConnection> connection_;
  PreparedStatement read_;
};

}  // namespace orv
