#pragma once

#include <array>

#include "records/RecordColumns.h"

namespace orv {

// The columns of the stock master's companion tables, in the order their statements list them.
// Before ERP version 6 the EC and expense rows are keyed by the combined column whproduct (the
// warehouse followed by the product); from 6 on by warehouse and product.
class CompanionColumns {
 public:
  static constexpr std::array<RecordColumn, 2> kSplitKey{{
      {"warehouse", ColumnKind::Text, 2},
      {"product", ColumnKind::Text, 20},
  }};
  static constexpr std::array<RecordColumn, 1> kJoinedKey{{{"whproduct", ColumnKind::Text, 22}}};

  // Stock extension (scheme.stockxpgm): the key, then six values.
  static constexpr std::array<RecordColumn, 8> kExtension{{
      {"warehouse", ColumnKind::Text, 2},
      {"product", ColumnKind::Text, 20},
      {"analysis_d", ColumnKind::Text, 10},
      {"analysis_e", ColumnKind::Text, 10},
      {"analysis_f", ColumnKind::Text, 10},
      {"delivery_qty_tol", ColumnKind::Text, 30},
      {"call_off_qty_tol", ColumnKind::Text, 30},
      {"consumer_unit", ColumnKind::Text, 10},
  }};

  // Technical description pages: the values, then the key.
  static constexpr std::array<RecordColumn, 13> kPageValues{{
      {"spare", ColumnKind::Text, 50},
      {"text01", ColumnKind::Text, 60},
      {"text02", ColumnKind::Text, 60},
      {"text03", ColumnKind::Text, 60},
      {"text04", ColumnKind::Text, 60},
      {"text05", ColumnKind::Text, 60},
      {"text06", ColumnKind::Text, 60},
      {"text07", ColumnKind::Text, 60},
      {"text08", ColumnKind::Text, 60},
      {"text09", ColumnKind::Text, 60},
      {"text10", ColumnKind::Text, 60},
      {"text11", ColumnKind::Text, 60},
      {"text12", ColumnKind::Text, 60},
  }};
  static constexpr std::array<RecordColumn, 3> kPageKey{{
      {"warehouse", ColumnKind::Text, 2},
      {"product", ColumnKind::Text, 20},
      {"page_number", ColumnKind::Text, 3},
  }};
  static constexpr std::size_t kFirstLine = 1;  // text01 in kPageValues

  // EC data after the key: the spare column is ecspare from version 6 on and spare before.
  static constexpr RecordColumn kEcSpareSplit{"ecspare", ColumnKind::Text, 20};
  static constexpr RecordColumn kEcSpareJoined{"spare", ColumnKind::Text, 20};
  static constexpr std::array<RecordColumn, 7> kEcValues{{
      {"ssdstate", ColumnKind::Text, 2},
      {"weightkg", ColumnKind::Double, 0},
      {"statind", ColumnKind::Text, 1},
      {"procind", ColumnKind::Text, 1},
      {"commodity", ColumnKind::Text, 12},
      {"country_orig", ColumnKind::Text, 2},
      {"suppunitqty", ColumnKind::Double, 0},
  }};

  // The expense table after the key.
  static constexpr std::array<RecordColumn, 1> kExpenseValues{{{"expense", ColumnKind::Text, 20}}};
};

static_assert(RecordColumns::TextsHaveSizes(CompanionColumns::kExtension));
static_assert(RecordColumns::TextsHaveSizes(CompanionColumns::kPageValues));
static_assert(RecordColumns::TextsHaveSizes(CompanionColumns::kEcValues));

}  // namespace orv
