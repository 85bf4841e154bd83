#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orv {

class Command;

// What a column of an ERP table holds. Text sizes are the declared widths of the column and of
// the parameter that carries it.
enum class ColumnKind : std::uint8_t { Text, Double, Date, SmallInt };

struct RecordColumn {
  std::string_view name;
  ColumnKind kind;
  std::int16_t size = 0;  // characters, for text; 0 for the other kinds
};

// Statement pieces built from a column table, so that a record's statements, its parameters and
// the schema follow one list.
class RecordColumns {
 public:
  // The column names, each followed by `suffix`, joined by `separator`: ("a", "b"), "=?", ", "
  // gives "a=?, b=?".
  static std::string Joined(std::span<const RecordColumn> columns, std::string_view separator,
                            std::string_view suffix = {});
  // `count` markers "?" joined by ",".
  static std::string Markers(std::size_t count);
  // Declares one parameter per column, named after it, with its kind and size.
  static void Declare(Command& command, std::span<const RecordColumn> columns);

  // The position of a column by its exact name, or `columns.size()` when there is none.
  static constexpr std::size_t Find(std::span<const RecordColumn> columns, std::string_view name) {
    for (std::size_t i = 0; i < columns.size(); ++i)
      if (columns[i].name == name) return i;
    return columns.size();
  }
  static constexpr bool TextsHaveSizes(std::span<const RecordColumn> columns) {
    for (const auto& column : columns)
      if ((column.kind == ColumnKind::Text) != (column.size > 0)) return false;
    return true;
  }
};

}  // namespace orv
