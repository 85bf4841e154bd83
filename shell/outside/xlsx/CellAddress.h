#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// A cell position on a sheet, 1-based ("B5" is row 5, column 2).
struct CellAddress {
  static constexpr std::uint32_t kMaxRow = 1048576;
  static constexpr std::uint32_t kMaxColumn = 16384;

  std::uint32_t row = 0;
  std::uint32_t column = 0;

  // "B5", "$B$5"; nullopt for anything else or outside the sheet.
  static std::optional<CellAddress> Parse(std::string_view text);
  static std::string ColumnLetters(std::uint32_t column);
  // Column letters alone ("AB", "$AB"), 0 when invalid.
  static std::uint32_t ParseColumn(std::string_view letters);
  std::string ToString() const;

  friend bool operator==(const CellAddress&, const CellAddress&) = default;
};

}  // namespace orv
