#include "shell/outside/xlsx/CellReading.h"

#include <cctype>
#include <charconv>

#include "shell/outside/xlsx/CellDates.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/WorkbookError.h"

namespace orv {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

[[noreturn]] void ConversionError(std::string_view name, std::int32_t row, const std::string& text,
                                  const std::string& problem) {
  throw AppError(kCellConversionError, "",
                 "Range '" + std::string(name) + "' row " + std::to_string(row) + ": '" + text +
                     "' " + problem);
}

}  // namespace

bool CellReading::IsBlank(const CellValue& cell) {
  return cell.kind == CellValue::kEmpty ||
         (cell.kind == CellValue::kText && Trimmed(cell.text).empty());
}

double CellReading::Number(const CellValue& cell, std::string_view name, std::int32_t row) {
  switch (cell.kind) {
    case CellValue::kNumber:
      return cell.number;
    case CellValue::kText: {
      auto text = Trimmed(cell.text);
      if (!text.empty() && text.front() == '+') text.remove_prefix(1);
      double number = 0;
      auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), number);
      if (text.empty() || error != std::errc() || next != text.data() + text.size())
        ConversionError(name, row, cell.text, "is not a number");
      return number;
    }
    case CellValue::kBoolean:
      ConversionError(name, row, cell.number != 0 ? "TRUE" : "FALSE", "is not a number");
    default:
      ConversionError(name, row, cell.text, "is not a number");
  }
}

OleDate CellReading::Date(const CellValue& cell, bool date1904, std::string_view name,
                          std::int32_t row) {
  if (cell.kind == CellValue::kNumber) {
    if (!cell.date)
      ConversionError(name, row, Range::TextOf(cell, false), "is a number, not a date");
    return CellDates::FromSerial(cell.number, date1904);
  }
  if (cell.kind != CellValue::kText)
    ConversionError(name, row, Range::TextOf(cell, false), "is not a date");
  std::string problem;
  auto date = CellDates::ParseText(cell.text, problem);
  if (!date) ConversionError(name, row, cell.text, problem);
  return *date;
}

}  // namespace orv
