#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/FieldSource.h"
#include "shell/outside/base/Variant.h"

namespace orv {

class Connection;

// A forward-only, read-only result set in the manner of ADO's Recordset. Field names compare
// case-insensitively; when a name occurs twice (t1.*, t2.*) the first column wins.
class Recordset : public FieldSource {
 public:
  using Row = std::vector<Variant>;
  // The names of a result's columns and their look-up.
  class Columns;
  // What a column holds, as the database declares it (computed columns of SQLite read as text).
  enum class FieldKind { Text, Number, Date };

  Recordset();
  ~Recordset() override;
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;

  // A recordset over rows already in memory (a command's result; fakes in tests).
  static Recordset FromRows(std::vector<std::string> columns, std::vector<Row> rows);
  // The same with column names made once and shared by every result of one statement: looking
  // names up is then set up once, not for every result.
  static std::shared_ptr<const Columns> MakeColumns(std::vector<std::string> names);
  static Recordset FromRows(std::shared_ptr<const Columns> columns, std::vector<Row> rows);
  // The same with what each column holds as the database declared it, for rows read from it.
  static Recordset FromRows(std::shared_ptr<const Columns> columns, std::vector<Row> rows,
                            std::vector<FieldKind> kinds);

  // Runs `sql` and positions on the first row. "?" markers take `parameters` in order.
  void Open(std::string_view sql, const std::shared_ptr<Connection>& connection,
            const std::vector<Variant>& parameters = {});
  // The same for a statement without markers whose result may be large: a server sends its rows
  // `batch` at a time through a cursor, so that the whole result is never held in memory. The
  // cursor lives in a transaction: when the connection has none open, one is begun for the
  // reading and committed when the last row has been read or the recordset is closed (a
  // transaction begun meanwhile on the connection is refused as already in progress). SQLite
  // steps through its rows one at a time anyway: there this is Open.
  void OpenInBatches(std::string_view sql, const std::shared_ptr<Connection>& connection,
                     std::size_t batch);
  void Close();
  bool IsOpen() const;

  // True when there is no current row (ADO's EOF).
  bool Eof() const;
  void MoveNext();

  // The current row's value of the named field; AppError for an unknown name or at EOF, and a
  // type mismatch naming the column for a value it cannot hold (see SociValue::FromRow).
  Variant Fields(std::string_view name) const;
  Variant Field(std::string_view name) const override { return Fields(name); }
  bool HasField(std::string_view name) const;
  // The position of the named field (AppError for an unknown name), for FieldValue; it holds for
  // every recordset that shares this one's ColumnSet.
  std::size_t FieldIndex(std::string_view name) const;
  const std::shared_ptr<const Columns>& ColumnSet() const;
  std::size_t FieldCount() const;
  const std::string& FieldName(std::size_t index) const;
  Variant FieldValue(std::size_t index) const;
  FieldKind KindOf(std::size_t index) const;

  // The current row and every row after it, in order; the recordset is at EOF afterwards.
  std::vector<Row> GetRows();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orv
