#include "shell/outside/xlsx/Range.h"

#include <cmath>

#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/CellDates.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"

namespace orv {

Range::Range(std::shared_ptr<Worksheet> sheet, std::uint32_t first_row, std::uint32_t first_column,
             std::uint32_t last_row, std::uint32_t last_column)
    : sheet_(std::move(sheet)),
      first_row_(first_row),
      first_column_(first_column),
      last_row_(last_row),
      last_column_(last_column) {
  if (first_row_ < 1 || first_column_ < 1 || last_row_ > CellAddress::kMaxRow ||
      last_column_ > CellAddress::kMaxColumn || last_row_ < first_row_ ||
      last_column_ < first_column_) {
    throw WorkbookError(sheet_->Document().Title(), "cells outside the sheet (row " +
                                                        std::to_string(first_row) + ", column " +
                                                        std::to_string(first_column) + ")");
  }
}

std::string Range::Address() const {
  auto corner = [](std::uint32_t row, std::uint32_t column) {
    return "$" + CellAddress::ColumnLetters(column) + "$" + std::to_string(row);
  };
  std::string address = corner(first_row_, first_column_);
  if (last_row_ != first_row_ || last_column_ != first_column_)
    address += ":" + corner(last_row_, last_column_);
  return address;
}

Variant Range::Value() const {
  auto& document = sheet_->Document();
  auto cell = document.Cell(sheet_->Index(), first_row_, first_column_);
  switch (cell.kind) {
    case CellValue::kNumber:
      if (cell.date) return CellDates::FromSerial(cell.number, document.Date1904());
      return cell.number;
    case CellValue::kText:
    case CellValue::kError:
      return cell.text;
    case CellValue::kBoolean:
      return cell.number != 0;
    case CellValue::kEmpty:
      break;
  }
  return {};
}

CellValue Range::CellFromVariant(const Variant& value, bool date1904) {
  CellValue cell;
  struct Visitor {
    CellValue& cell;
    bool date1904;
    void operator()(Variant::Empty) const {}
    void operator()(Variant::Null) const {}
    void operator()(const std::string& text) const {
      if (!text.empty()) cell = CellValue::Text(text);
    }
    void operator()(double number) const { cell = CellValue::Number(number); }
    void operator()(std::int32_t number) const { cell = CellValue::Number(number); }
    void operator()(bool flag) const { cell = CellValue::Boolean(flag); }
    void operator()(OleDate date) const {
      cell = CellValue::Number(CellDates::ToSerial(date, date1904), true);
    }
  };
  std::visit(Visitor{cell, date1904}, value.Value());
  return cell;
}

std::string Range::TextOf(const CellValue& cell, bool date1904) {
  switch (cell.kind) {
    case CellValue::kNumber:
      if (cell.date) return Variant(CellDates::FromSerial(cell.number, date1904)).ToText();
      return Variant(cell.number).ToText();
    case CellValue::kText:
    case CellValue::kError:
      return cell.text;
    case CellValue::kBoolean:
      return cell.number != 0 ? "TRUE" : "FALSE";
    case CellValue::kEmpty:
      break;
  }
  return {};
}

void Range::SetValue(const Variant& value) const {
  auto& document = sheet_->Document();
  document.SetCell(sheet_->Index(), first_row_, first_column_,
                   CellFromVariant(value, document.Date1904()));
}

std::string Range::Text() const {
  auto& document = sheet_->Document();
  return TextOf(document.Cell(sheet_->Index(), first_row_, first_column_), document.Date1904());
}

Range Range::Cells(std::uint32_t row, std::uint32_t column) const {
  return Range(sheet_, first_row_ + row - 1, first_column_ + column - 1, first_row_ + row - 1,
               first_column_ + column - 1);
}

bool Range::Contains(const Range& cell) const {
  return &cell.Sheet().Document() == &sheet_->Document() &&
         cell.Sheet().Index() == sheet_->Index() && cell.Row() >= first_row_ &&
         cell.LastRow() <= last_row_ && cell.Column() >= first_column_ &&
         cell.LastColumn() <= last_column_;
}

void Range::SelectEntireRow() const {
  sheet_->Document().SelectRows(sheet_->Index(), first_row_, last_row_);
}

}  // namespace orv
