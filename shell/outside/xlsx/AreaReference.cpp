#include "shell/outside/xlsx/AreaReference.h"

#include <algorithm>
#include <cctype>

#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/WorkbookError.h"

namespace orv {
namespace {

struct Corner {
  std::uint32_t row = 0, column = 0;  // 0: the whole column or row
};

bool ParseCorner(std::string_view text, Corner& corner) {
  if (auto cell = CellAddress::Parse(text)) {
    corner = {cell->row, cell->column};
    return true;
  }
  if (auto column = CellAddress::ParseColumn(text)) {
    corner = {0, column};
    return true;
  }
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '$') digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 7 || !std::all_of(digits.begin(), digits.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
      })) {
    return false;
  }
  auto row = static_cast<std::uint32_t>(std::stoul(std::string(digits)));
  if (row == 0 || row > CellAddress::kMaxRow) return false;
  corner = {row, 0};
  return true;
}

}  // namespace

AreaReference AreaReference::Parse(std::string_view formula, const std::string& where,
                                   std::string_view name) {
  auto fail = [&](const std::string& problem) -> AreaReference {
    throw WorkbookError(where, "defined name '" + std::string(name) + "' (" + std::string(formula) +
                                   ") " + problem);
  };
  std::string_view text = formula;
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '=') text.remove_prefix(1);
  if (text.find("#REF!") != std::string_view::npos) {
    return fail("points to a deleted sheet or area (#REF!)");
  }
  if (!text.empty() && text.front() == '(') return fail("is not one rectangular area");
  AreaReference area;
  std::size_t i = 0;
  bool quoted = !text.empty() && text.front() == '\'';
  if (quoted) {
    std::string sheet;
    for (i = 1; i < text.size(); ++i) {
      if (text[i] == '\'') {
        if (i + 1 < text.size() && text[i + 1] == '\'') {
          sheet += '\'';
          ++i;
        } else {
          break;
        }
      } else {
        sheet += text[i];
      }
    }
    if (i >= text.size()) return fail("is not a cell reference");
    ++i;
    area.sheet = sheet;
  } else {
    auto bang = text.find('!');
    if (bang == std::string_view::npos) {
      return fail("is not a reference to cells of a sheet");
    }
    area.sheet = std::string(text.substr(0, bang));
    i = bang;
  }
  if (!quoted && area.sheet.find('(') != std::string::npos)
    return fail("is not a reference to cells of a sheet");
  if (area.sheet.find('[') != std::string::npos || area.sheet.find(']') != std::string::npos) {
    return fail("points to another workbook");
  }
  if (i >= text.size() || text[i] != '!') return fail("is not a reference to cells of a sheet");
  ++i;
  if (area.sheet.empty()) return fail("names no sheet");
  if (area.sheet.find(':') != std::string::npos) return fail("spans several sheets");
  std::string_view cells = text.substr(i);
  if (cells.find(',') != std::string_view::npos || cells.find('~') != std::string_view::npos ||
      cells.find(' ') != std::string_view::npos || cells.find('!') != std::string_view::npos) {
    return fail("is not one rectangular area");
  }
  auto colon = cells.find(':');
  Corner first, last;
  bool ok = colon == std::string_view::npos ? ParseCorner(cells, first) && (last = first, true)
                                            : ParseCorner(cells.substr(0, colon), first) &&
                                                  ParseCorner(cells.substr(colon + 1), last);
  if (!ok) return fail("is not a reference to cells of a sheet");
  if ((first.row == 0) != (last.row == 0) || (first.column == 0) != (last.column == 0)) {
    return fail("is not one rectangular area");
  }
  area.first_row = first.row == 0 ? 1 : std::min(first.row, last.row);
  area.last_row = first.row == 0 ? CellAddress::kMaxRow : std::max(first.row, last.row);
  area.first_column = first.column == 0 ? 1 : std::min(first.column, last.column);
  area.last_column =
      first.column == 0 ? CellAddress::kMaxColumn : std::max(first.column, last.column);
  return area;
}

std::string AreaReference::QuoteSheet(std::string_view sheet) {
  bool plain = !sheet.empty() && !std::isdigit(static_cast<unsigned char>(sheet.front())) &&
               std::all_of(sheet.begin(), sheet.end(), [](char c) {
                 return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
               });
  if (plain && !CellAddress::Parse(sheet)) return std::string(sheet);
  std::string quoted = "'";
  for (char c : sheet) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}

std::string AreaReference::ToFormula() const {
  auto corner = [](std::uint32_t row, std::uint32_t column) {
    return "$" + CellAddress::ColumnLetters(column) + "$" + std::to_string(row);
  };
  std::string formula = QuoteSheet(sheet) + "!" + corner(first_row, first_column);
  if (first_row != last_row || first_column != last_column)
    formula += ":" + corner(last_row, last_column);
  return formula;
}

}  // namespace orv
