#pragma once

#include <string>

namespace orv {

// A captioned group of ranges; a range names its group by key.
struct RangeGroup {
  std::string caption;
  std::string key;
  std::string text;
  friend bool operator==(const RangeGroup&, const RangeGroup&) = default;
};

}  // namespace orv
