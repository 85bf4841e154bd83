#include "records/StockdColumns.h"

#include <string>

#include "shell/outside/base/AppError.h"

namespace orv {
namespace {

using Kind = StockdColumns::Kind;

constexpr std::size_t CountOf(Kind kind, std::size_t first, std::size_t last) {
  std::size_t count = 0;
  for (std::size_t i = first; i < last; ++i)
    if (StockdColumns::kAll[i].kind == kind) ++count;
  return count;
}

static_assert(CountOf(Kind::Text, 0, StockdColumns::kDataCount) == 57);
static_assert(CountOf(Kind::Double, 0, StockdColumns::kDataCount) == 119);
static_assert(CountOf(Kind::Date, 0, StockdColumns::kDataCount) == 5);
static_assert(CountOf(Kind::SmallInt, 0, StockdColumns::kDataCount) == 5);
static_assert(StockdColumns::kAll[StockdColumns::kWarehouse].name == "warehouse");
static_assert(StockdColumns::kAll[StockdColumns::kProduct].name == "product");
static_assert(StockdColumns::kAll[StockdColumns::kFirstVersion7].name == "replenish_category");
static_assert(RecordColumns::TextsHaveSizes(StockdColumns::kAll));

}  // namespace

template <StockdColumns::Kind K>
StockdColumns::Field<K> StockdColumns::Field<K>::At(std::size_t column) {
  if (column >= kCount || kAll[column].kind != K)
    throw AppError(VbError::kTypeMismatch, "",
                   "Type mismatch: column " + std::to_string(column) +
                       " of the stock master record is not of the kind asked for");
  return Field(column, 0);
}

template struct StockdColumns::Field<Kind::Text>;
template struct StockdColumns::Field<Kind::Double>;
template struct StockdColumns::Field<Kind::Date>;
template struct StockdColumns::Field<Kind::SmallInt>;

}  // namespace orv
