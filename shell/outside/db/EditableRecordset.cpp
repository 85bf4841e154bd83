#include "shell/outside/db/EditableRecordset.h"

#include <algorithm>
#include <regex>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/NameHash.h"
#include "shell/outside/db/Recordset.h"

namespace orv {
namespace {

// A value converted to what its column holds, so that both databases store the same thing: numeric
// text becomes a number; anything else that is not a number is refused, as a type mismatch.
Variant AsColumnValue(Recordset::FieldKind kind, const std::string& column, const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return Variant::MakeNull();
  try {
    switch (kind) {
      case Recordset::FieldKind::Number:
        if (value.IsText() && value.ToText().find_first_not_of(' ') == std::string::npos) break;
        return Variant(value.ToDouble());
      case Recordset::FieldKind::Date:
        if (value.IsDate() || value.IsNumeric()) return Variant(value.ToDate());
        break;
      case Recordset::FieldKind::Text:
        return Variant(value.ToText());
    }
  } catch (const AppError&) {
  }
  throw AppError(VbError::kTypeMismatch, "",
                 "Type mismatch: '" + value.ToText() + "' cannot be stored in column " + column);
}

// A selection's text, table and condition.
struct Parsed {
  std::string text, table, where;
};

}  // namespace

struct EditableRecordset::Impl {
  std::shared_ptr<Connection> connection;
  std::string table;
  std::string where;  // the selection's condition, "?" markers included
  std::vector<Variant> where_values;
  std::vector<std::string> columns;
  std::vector<Recordset::FieldKind> kinds;
  std::vector<Recordset::Row> rows;
  std::size_t position = 0;
  bool open = false;
  bool adding = false;
  std::vector<Variant> buffer;  // the row being edited or added
  std::vector<bool> assigned;
  // Kept from one Open to the next: opening the same selection again runs its prepared statement.
  Recordset reader;
  Parsed parsed;

  std::size_t Column(std::string_view name) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
      if (NameEqual()(columns[i], name)) return i;
    throw AppError(VbError::kItemNotFound, "",
                   "Item cannot be found in the collection corresponding to the requested name "
                   "or ordinal: " +
                       std::string(name));
  }

  bool Eof() const { return !adding && position >= rows.size(); }

  void StartEdit() {
    if (adding || !buffer.empty()) return;
    buffer = rows.at(position);
    assigned.assign(columns.size(), false);
  }

  void ClearEdit() {
    adding = false;
    buffer.clear();
    assigned.clear();
  }
};

EditableRecordset::EditableRecordset() : impl_(std::make_unique<Impl>()) {}
EditableRecordset::~EditableRecordset() = default;
EditableRecordset::EditableRecordset(EditableRecordset&&) noexcept = default;
EditableRecordset& EditableRecordset::operator=(EditableRecordset&&) noexcept = default;

void EditableRecordset::Open(std::string_view sql, const std::shared_ptr<Connection>& connection,
                             const std::vector<Variant>& parameters) {
  Open(sql, connection, parameters, Recordset());
}

void EditableRecordset::Open(std::string_view sql, const std::shared_ptr<Connection>& connection,
                             const std::vector<Variant>& parameters, Recordset rows) {
  static const std::regex kSelect(
      R"(^\s*select\s+\*\s+from\s+([A-Za-z0-9_.]+)(?:\s+where\s+([\s\S]*?))?\s*;?\s*$)",
      std::regex::icase);
  std::string text(sql);
  // The selection's table and condition, parsed once for a text opened again and again.
  Parsed parsed = std::move(impl_->parsed);
  if (parsed.text != text) {
    std::smatch match;
    if (!std::regex_match(text, match, kSelect))
      throw AppError(
          kUnexpectedError, "",
          "An updatable recordset needs \"select * from <table> [where ...]\", not: " + text);
    parsed = {text, match[1], match[2].matched ? std::string(match[2]) : std::string()};
  }
  Close();
  Impl& impl = *impl_;
  impl.parsed = std::move(parsed);
  const bool read = rows.IsOpen();
  Recordset& reader = read ? rows : impl.reader;
  if (!read) reader.Open(text, connection, parameters);
  impl.connection = connection;
  impl.table = impl.parsed.table;
  impl.where = impl.parsed.where;
  impl.where_values = parameters;
  for (std::size_t i = 0; i < reader.FieldCount(); ++i) {
    impl.columns.push_back(reader.FieldName(i));
    impl.kinds.push_back(reader.KindOf(i));
  }
  impl.rows = reader.GetRows();
  impl.position = 0;
  impl.open = true;
}

void EditableRecordset::Close() {
  Impl fresh;
  std::swap(fresh.reader, impl_->reader);
  std::swap(fresh.parsed, impl_->parsed);
  fresh.reader.Close();
  std::swap(*impl_, fresh);
}

bool EditableRecordset::IsOpen() const { return impl_->open; }
bool EditableRecordset::Eof() const { return impl_->Eof(); }

void EditableRecordset::MoveNext() {
  if (impl_->Eof())
    throw AppError(VbError::kNoCurrentRecord, "",
                   "Either BOF or EOF is True, or the current record has been deleted.");
  impl_->ClearEdit();
  ++impl_->position;
}

Variant EditableRecordset::Fields(std::string_view name) const {
  const Impl& impl = *impl_;
  std::size_t column = impl.Column(name);
  if (!impl.buffer.empty()) return impl.buffer[column];
  if (impl.Eof())
    throw AppError(VbError::kNoCurrentRecord, "",
                   "Either BOF or EOF is True, or the current record has been deleted.");
  return impl.rows[impl.position][column];
}

bool EditableRecordset::HasField(std::string_view name) const {
  return std::any_of(impl_->columns.begin(), impl_->columns.end(),
                     [&](const std::string& column) { return NameEqual()(column, name); });
}

void EditableRecordset::AddNew() {
  Impl& impl = *impl_;
  if (!impl.open)
    throw AppError(VbError::kNoCurrentRecord, "",
                   "Operation is not allowed when the object is closed.");
  impl.ClearEdit();
  impl.adding = true;
  impl.buffer.assign(impl.columns.size(), Variant::MakeNull());
  impl.assigned.assign(impl.columns.size(), false);
}

bool EditableRecordset::IsNewRow() const { return impl_->adding; }

void EditableRecordset::SetField(std::string_view name, const Variant& value) {
  Impl& impl = *impl_;
  std::size_t column = impl.Column(name);
  if (impl.Eof())
    throw AppError(VbError::kNoCurrentRecord, "",
                   "Either BOF or EOF is True, or the current record has been deleted.");
  impl.StartEdit();
  impl.buffer[column] = AsColumnValue(impl.kinds[column], impl.columns[column], value);
  impl.assigned[column] = true;
}

void EditableRecordset::Update() {
  Impl& impl = *impl_;
  if (impl.buffer.empty()) return;
  std::vector<std::size_t> changed;
  for (std::size_t i = 0; i < impl.columns.size(); ++i)
    if (impl.assigned[i] && (impl.adding || impl.buffer[i] != impl.rows[impl.position][i]))
      changed.push_back(i);
  if (changed.empty() && !impl.adding) {
    impl.ClearEdit();
    return;
  }
  std::string sql;
  std::vector<Variant> values;
  if (impl.adding) {
    std::string names, markers;
    for (std::size_t i : changed) {
      names += (names.empty() ? "" : ", ") + impl.columns[i];
      markers += markers.empty() ? "?" : ", ?";
      values.push_back(impl.buffer[i]);
    }
    sql = changed.empty()
              ? "insert into " + impl.table + " default values"
              : "insert into " + impl.table + " (" + names + ") values (" + markers + ")";
  } else {
    if (impl.rows.size() != 1)
      throw AppError(kUnexpectedError, "",
                     "Cannot update: the selection on " + impl.table + " holds " +
                         std::to_string(impl.rows.size()) + " rows, not one");
    std::string sets;
    for (std::size_t i : changed) {
      sets += (sets.empty() ? "" : ", ") + impl.columns[i] + " = ?";
      values.push_back(impl.buffer[i]);
    }
    sql = "update " + impl.table + " set " + sets;
    if (!impl.where.empty()) sql += " where " + impl.where;
    values.insert(values.end(), impl.where_values.begin(), impl.where_values.end());
  }
  impl.connection->Execute(sql, values);
  if (impl.adding) {
    impl.rows.push_back(impl.buffer);
    impl.position = impl.rows.size() - 1;
  } else {
    impl.rows[impl.position] = impl.buffer;
  }
  impl.ClearEdit();
}

void EditableRecordset::CancelUpdate() { impl_->ClearEdit(); }

}  // namespace orv
