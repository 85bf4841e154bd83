#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/Variant.h"

namespace orv {

class Connection;

// The conditions of the browse statements: SQL text with "?" markers and the values they take,
// never a value written into the text. Each form works alike on SQLite and PostgreSQL.
class SqlSearch {
 public:
  struct Condition {
    std::string sql;
    std::vector<Variant> values;
  };

  // column = value.
  static Condition Equals(const std::string& column, const std::string& value);
  // The column starts with `text`, as typed (codes are compared exactly): a range the column's
  // index can serve, made exact by comparing the first characters.
  static Condition StartsWith(const std::string& column, const std::string& text);
  // The column holds `text` anywhere, whatever the case of ASCII letters; "%" and "_" are taken
  // as themselves.
  static Condition Contains(const std::string& column, const std::string& text);
  static Condition Either(const Condition& first, const Condition& second);
  // The rows after `key` in the order of `columns` (a row-value comparison, which both databases
  // serve from an index on those columns).
  static Condition After(const std::vector<std::string>& columns,
                         const std::vector<std::string>& key);

  // The rows of a statement, each field as text (a database null as "").
  static std::vector<std::vector<std::string>> Rows(const std::shared_ptr<Connection>& connection,
                                                    std::string_view sql,
                                                    const std::vector<Variant>& values);

  void Add(Condition condition);
  bool Empty() const { return sql_.empty(); }
  // " where a and b", or empty when there is no condition.
  std::string Where() const;
  const std::vector<Variant>& Values() const { return values_; }

 private:
  std::string sql_;
  std::vector<Variant> values_;
};

}  // namespace orv
