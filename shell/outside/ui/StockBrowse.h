#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shell/outside/ui/ListPicker.h"

namespace orv {

// The stock browse: stock records keyed by warehouse and product, searched by warehouse
// (txtWarehouse), the start of the product code (txtProduct) and words of the description
// (txtDescription), the source receiving the three texts in that order. Single choice picks one
// record; multiple choice picks several, in the order chosen.
class StockBrowse : public ListPicker {
 public:
  using StockKey = std::pair<std::string, std::string>;  // warehouse, product

  StockBrowse(std::shared_ptr<RowSource> source, bool multiple);

  void SetProductSearch(std::string product) { SetSearch({"", std::move(product), ""}); }
  // The chosen records, when the browse was closed with OK.
  std::vector<StockKey> ChosenStock() const;
};

}  // namespace orv
