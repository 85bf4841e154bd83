#include "shell/outside/ui/StockView.h"

#include "shell/outside/base/AppError.h"

namespace orv {

void StockView::Show(UserInterface& ui) {
  auto lines = source_->Read(warehouse_, product_);
  if (!lines)
    throw AppError(
        kNoRecord, "",
        "There is no stock record for warehouse " + warehouse_ + " and product " + product_);
  ui.ShowRecord("Stock " + warehouse_ + " " + product_, *lines);
}

}  // namespace orv
