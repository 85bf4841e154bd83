#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orv {

// Statements are written with "?" markers; the database layer binds by name. The markers are
// rewritten once, when a statement is prepared.
class SqlMarkers {
 public:
  // `sql` with every "?" outside quoted literals, quoted identifiers and comments replaced by
  // :p1, :p2, ... in order. `count` receives the number of markers.
  static std::string ToNamed(std::string_view sql, int& count);
  // The same with each marker replaced by what `with` gives for its number (1-based).
  static std::string Replace(std::string_view sql, const std::function<std::string(int)>& with,
                             int& count);
  // The name that the n-th marker (1-based) becomes.
  static std::string MarkerName(int n);
};

}  // namespace orv
