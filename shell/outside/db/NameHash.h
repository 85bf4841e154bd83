#pragma once

#include <cstddef>
#include <string_view>

namespace orv {

// Hashing and equality of column and parameter names without regard to (ASCII) case, for
// unordered containers keyed by name: a look-up folds the name as it goes instead of building a
// lower-case copy, and takes a string_view (the containers are transparent).
struct NameHash {
  using is_transparent = void;
  static char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
  std::size_t operator()(std::string_view name) const {
    std::size_t hash = 14695981039346656037ull;  // FNV-1a
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(Fold(c))) * 1099511628211ull;
    return hash;
  }
};

struct NameEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
      if (NameHash::Fold(a[i]) != NameHash::Fold(b[i])) return false;
    return true;
  }
};

}  // namespace orv
