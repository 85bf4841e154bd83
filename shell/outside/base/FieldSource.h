#pragma once

#include <string_view>

#include "shell/outside/base/Variant.h"

namespace orv {

// Anything that hands out field values by column name: the current record of a recordset.
class FieldSource {
 public:
  virtual ~FieldSource() = default;
  // The value of the named field (names compare case-insensitively); AppError for an unknown name.
  virtual Variant Field(std::string_view name) const = 0;
};

}  // namespace orv
