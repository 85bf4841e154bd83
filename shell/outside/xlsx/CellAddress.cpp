#include "shell/outside/xlsx/CellAddress.h"

namespace orv {

std::uint32_t CellAddress::ParseColumn(std::string_view letters) {
  if (!letters.empty() && letters.front() == '$') letters.remove_prefix(1);
  if (letters.empty() || letters.size() > 3) return 0;
  std::uint32_t column = 0;
  for (char c : letters) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return 0;
    column = column * 26 + static_cast<std::uint32_t>(c - 'A' + 1);
  }
  return column <= kMaxColumn ? column : 0;
}

std::optional<CellAddress> CellAddress::Parse(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  std::size_t letters_start = i;
  while (i < text.size() &&
         ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z')))
    ++i;
  auto column = ParseColumn(text.substr(letters_start, i - letters_start));
  if (column == 0) return std::nullopt;
  if (i < text.size() && text[i] == '$') ++i;
  if (i == text.size() || text[i] == '0') return std::nullopt;
  std::uint64_t row = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9' || row > kMaxRow) return std::nullopt;
    row = row * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  if (row == 0 || row > kMaxRow) return std::nullopt;
  return CellAddress{static_cast<std::uint32_t>(row), column};
}

std::string CellAddress::ColumnLetters(std::uint32_t column) {
  std::string letters;
  while (column > 0) {
    --column;
    letters.insert(letters.begin(), static_cast<char>('A' + column % 26));
    column /= 26;
  }
  return letters;
}

std::string CellAddress::ToString() const { return ColumnLetters(column) + std::to_string(row); }

}  // namespace orv
