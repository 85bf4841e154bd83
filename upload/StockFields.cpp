#include "upload/StockFields.h"

#include <string>

#include "records/CompanionColumns.h"
#include "records/StockdColumns.h"
#include "shell/outside/base/AppError.h"

namespace orv {
namespace {

using Kind = StockFields::Kind;
using Home = StockFields::Home;

constexpr std::span<const RecordColumn> HomeColumns(Home home) {
  switch (home) {
    case Home::Stock:
      return StockdColumns::kAll;
    case Home::Extension:
      return CompanionColumns::kExtension;
    case Home::Ec:
      return CompanionColumns::kEcValues;
    case Home::Expense:
      return CompanionColumns::kExpenseValues;
    case Home::Page:
      return CompanionColumns::kPageKey;
    case Home::None:
      break;
  }
  return {};
}

// A value of this kind can be written to a column of that kind (a whole number of decimal places
// is stored as text).
constexpr bool Fits(Kind field, ColumnKind column) {
  switch (field) {
    case Kind::Text:
      return column == ColumnKind::Text;
    case Kind::Number:
      return column == ColumnKind::Double || column == ColumnKind::Date;
    case Kind::Whole:
      return column == ColumnKind::SmallInt || column == ColumnKind::Text;
  }
  return false;
}

// Every written field names a column of its table of a fitting kind; a series names the prefix of
// exactly `count` columns.
constexpr bool ColumnsExist() {
  for (const auto& field : StockFields::kAll) {
    if (field.home == Home::None) continue;
    auto columns = field.home == Home::Page && field.count > 1
                       ? std::span<const RecordColumn>(CompanionColumns::kPageValues)
                       : HomeColumns(field.home);
    int matches = 0;
    for (const auto& column : columns) {
      bool named = field.count > 1 ? column.name.starts_with(field.column) &&
                                         column.name.size() == field.column.size() + 2
                                   : column.name == field.column;
      if (!named) continue;
      if (!Fits(field.kind, column.kind)) return false;
      ++matches;
    }
    if (matches != field.count) return false;
  }
  return true;
}

constexpr bool NamesAreUnique() {
  for (std::size_t i = 0; i < StockFields::kCount; ++i)
    for (std::size_t j = i + 1; j < StockFields::kCount; ++j)
      if (StockFields::kAll[i].property == StockFields::kAll[j].property ||
          StockFields::kAll[i].flag == StockFields::kAll[j].flag)
        return false;
  return true;
}

static_assert(ColumnsExist());
static_assert(NamesAreUnique());

[[noreturn]] void NotOfKind(std::size_t field) {
  throw AppError(VbError::kTypeMismatch, "",
                 "Type mismatch: field " + std::to_string(field) +
                     " of the stock business object is not of the kind asked for");
}

}  // namespace

template <Kind K>
StockFields::Of<K> StockFields::Of<K>::At(std::size_t field) {
  if (field >= kCount || kAll[field].kind != K) NotOfKind(field);
  return Of(field, 0);
}

StockFields::Any StockFields::Any::At(std::size_t field) {
  if (field >= kCount) NotOfKind(field);
  return Any(field, 0);
}

template struct StockFields::Of<Kind::Text>;
template struct StockFields::Of<Kind::Number>;
template struct StockFields::Of<Kind::Whole>;

}  // namespace orv
