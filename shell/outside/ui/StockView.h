#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/AppError.h"
#include "shell/outside/ui/UserInterface.h"

namespace orv {

// The stock view: the record of one warehouse and product as the user reads it (description,
// units, quantities, costs), read through a source of its own when shown.
class StockView {
 public:
  using Lines = std::vector<UserInterface::RecordLine>;

  class Source {
   public:
    virtual ~Source() = default;
    // The lines of the record, nullopt when there is none. Errors are AppErrors.
    virtual std::optional<Lines> Read(std::string_view warehouse, std::string_view product) = 0;
  };

  static constexpr std::int32_t kNoRecord = vbObjectError + 5000;

  explicit StockView(std::shared_ptr<Source> source) : source_(std::move(source)) {}

  void SetWarehouse(std::string warehouse) { warehouse_ = std::move(warehouse); }
  void SetProduct(std::string product) { product_ = std::move(product); }
  // Reads the record and shows it; an AppError numbered kNoRecord when it is not on file.
  void Show(UserInterface& ui);

 private:
  std::shared_ptr<Source> source_;
  std::string warehouse_;
  std::string product_;
};

}  // namespace orv
