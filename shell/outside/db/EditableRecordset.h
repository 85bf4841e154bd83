#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/FieldSource.h"
#include "shell/outside/base/Variant.h"
#include "shell/outside/db/Recordset.h"

namespace orv {

class Connection;

// An updatable recordset over one table, in the manner of ADO's keyset recordset with optimistic
// locking: open "select * from <table> [where ...]", then either edit the current row or AddNew,
// assign fields, and Update. An edit of an existing row is written back through the same WHERE
// condition, so that condition must select exactly that row.
class EditableRecordset : public FieldSource {
 public:
  EditableRecordset();
  ~EditableRecordset() override;
  EditableRecordset(EditableRecordset&&) noexcept;
  EditableRecordset& operator=(EditableRecordset&&) noexcept;

  // "?" markers in `sql` take `parameters` in order (values are never pasted into the text).
  void Open(std::string_view sql, const std::shared_ptr<Connection>& connection,
            const std::vector<Variant>& parameters = {});
  // The same with the selection's rows already read: what `sql` gives for `parameters` (a
  // ReadAhead's answer).
  void Open(std::string_view sql, const std::shared_ptr<Connection>& connection,
            const std::vector<Variant>& parameters, Recordset rows);
  void Close();
  bool IsOpen() const;
  bool Eof() const;
  void MoveNext();

  Variant Fields(std::string_view name) const;
  Variant Field(std::string_view name) const override { return Fields(name); }
  bool HasField(std::string_view name) const;

  // Starts a new row: every field Null until assigned.
  void AddNew();
  bool IsNewRow() const;
  // Assigns a field of the current (or new) row; AppError when the table has no such column.
  void SetField(std::string_view name, const Variant& value);
  // Writes the assigned fields: an INSERT for a new row, an UPDATE of the current row otherwise.
  // Nothing assigned on an existing row writes nothing; nor does a field assigned the value it
  // holds.
  void Update();
  void CancelUpdate();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orv
