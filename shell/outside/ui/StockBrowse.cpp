#include "shell/outside/ui/StockBrowse.h"

namespace orv {

StockBrowse::StockBrowse(std::shared_ptr<RowSource> source, bool multiple)
    : ListPicker("frmStockBrowse", multiple ? "Choose stock records" : "Choose a stock record",
                 "Stock", std::move(source), multiple,
                 {{"txtWarehouse", "Warehouse"},
                  {"txtProduct", "Product starts with"},
                  {"txtDescription", "Description holds"}}) {}

std::vector<StockBrowse::StockKey> StockBrowse::ChosenStock() const {
  std::vector<StockKey> keys;
  for (const auto& row : Chosen())
    if (row.size() >= 2) keys.emplace_back(row[0], row[1]);
  return keys;
}

}  // namespace orv
