#include "shell/outside/db/Recordset.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <functional>
#include <unordered_map>

#include <soci/sqlite3/soci-sqlite3.h>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/NameHash.h"
#include "shell/outside/db/SociValue.h"
#include "shell/outside/db/SqlMarkers.h"

namespace orv {

class Recordset::Columns {
 public:
  explicit Columns(std::vector<std::string> names) : names_(std::move(names)) {
    for (std::size_t i = 0; i < names_.size(); ++i) index_.emplace(names_[i], i);
  }
  const std::vector<std::string>& Names() const { return names_; }
  // The first column of that name, nullptr when there is none.
  const std::size_t* Find(std::string_view name) const {
    auto found = index_.find(name);
    return found == index_.end() ? nullptr : &found->second;
  }

 private:
  std::vector<std::string> names_;
  std::unordered_map<std::string, std::size_t, NameHash, NameEqual> index_;
};

std::shared_ptr<const Recordset::Columns> Recordset::MakeColumns(std::vector<std::string> names) {
  return std::make_shared<const Columns>(std::move(names));
}

struct Recordset::Impl {
  bool open = false;
  std::shared_ptr<const Columns> columns = MakeColumns({});
  std::vector<FieldKind> kinds;
  // The database library's type of each column of a live statement.
  std::vector<soci::data_type> types;
  Row current;
  // Why a value of the current row could not be read, by column (empty: read).
  std::vector<std::string> problems;
  bool eof = true;
  // In-memory rows still to come.
  std::deque<Row> pending;
  // A live statement still to be fetched from.
  std::shared_ptr<soci::session> session;
  std::deque<SociValue::BoundValue> values;
  std::unique_ptr<soci::row> row;
  std::unique_ptr<soci::statement> statement;
  sqlite_api::sqlite3_stmt* sqlite = nullptr;
  bool fetching = false;
  // The text the statement was prepared from: opening the same text again on the same session
  // executes it again instead of preparing it again.
  std::string prepared_text;
  // The server cursor read in batches (OpenInBatches), empty when none; its connection, and
  // whether the transaction it lives in was begun for it.
  std::string cursor;
  std::shared_ptr<Connection> cursor_connection;
  bool own_transaction = false;

  Impl() = default;
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  ~Impl() { EndCursor(); }

  const std::vector<std::string>& Names() const { return columns->Names(); }

  void SetColumns(std::shared_ptr<const Columns> shared) {
    columns = std::move(shared);
    kinds.clear();
  }

  // A value that cannot be read fails only when it is used, so that the caller can say which
  // record it belongs to.
  void CopyRow() {
    current.clear();
    problems.assign(row->size(), {});
    for (std::size_t i = 0; i < row->size(); ++i) {
      try {
        current.push_back(
            sqlite ? SociValue::FromSqlite(sqlite, static_cast<int>(i), types[i], Names()[i])
                   : SociValue::FromRow(*row, i));
      } catch (const AppError& error) {
        current.push_back(Variant::MakeNull());
        problems[i] = error.Description();
      }
    }
  }

  // Runs a fetch. On SQLite the database library converts a row as it fetches it and fails on a
  // value it cannot convert (a date column holding "garbage"): the row is there all the same, and
  // is read as it stands, its bad values failing only when used.
  bool Fetch(const std::function<bool()>& fetch) {
    try {
      return fetch();
    } catch (const std::exception& error) {
      if (sqlite == nullptr || sqlite_api::sqlite3_data_count(sqlite) == 0 || row->size() == 0)
        throw AppError(kUnexpectedError, "", SociValue::Message(error));
      return true;
    }
  }

  // After a fetch: the row fetched becomes the current one, or the statement is done and the
  // recordset at its end.
  void Settle(bool got) {
    if (got)
      CopyRow();
    else
      Finish();
    eof = !got;
  }

  void Advance() {
    if (fetching) {
      bool got = Fetch([&] { return statement->fetch(); });
      // A cursor's batch is used up: the next one, until the cursor has no rows left.
      if (!got && !cursor.empty()) got = Fetch([&] { return statement->execute(true); });
      Settle(got);
      return;
    }
    if (pending.empty()) {
      eof = true;
      current.clear();
      return;
    }
    current = std::move(pending.front());
    pending.pop_front();
    problems.assign(current.size(), {});
    eof = false;
  }

  // Ends the fetching and keeps the statement for another execution. SQLite's statement is
  // reset, so that it holds no lock on the database while it waits.
  void Finish() {
    fetching = false;
    if (sqlite) sqlite_api::sqlite3_reset(sqlite);
    EndCursor();
  }

  // Closes the cursor and commits the transaction begun for it. Never throws: a failure here
  // (the connection lost, the transaction ended by its owner) leaves nothing to undo.
  void EndCursor() noexcept {
    if (cursor.empty()) return;
    const std::string name = std::move(cursor);
    cursor.clear();
    auto connection = std::move(cursor_connection);
    const bool own = own_transaction;
    own_transaction = false;
    try {
      if (connection->InTransaction()) *connection->Session() << "CLOSE " + name;
    } catch (...) {
    }
    try {
      if (own && connection->InTransaction()) connection->CommitTrans();
    } catch (...) {
    }
  }

  void ReleaseStatement() {
    fetching = false;
    sqlite = nullptr;
    statement.reset();
    row.reset();
    values.clear();
    session.reset();
    prepared_text.clear();
  }

  void Prepare(std::shared_ptr<soci::session> on, const std::string& text,
               const std::vector<Variant>& parameters,
               soci::details::statement_type type = soci::details::st_repeatable_query) {
    ReleaseStatement();
    session = std::move(on);
    row = std::make_unique<soci::row>();
    statement = std::make_unique<soci::statement>(*session);
    SociValue::BindAll(*statement, values, parameters);
    statement->exchange(soci::into(*row));
    statement->alloc();
    statement->prepare(text, type);
    statement->define_and_bind();
    sqlite = SociValue::SqliteStatement(*session, *statement);
    prepared_text = text;
  }

  // Runs the prepared statement and positions on its first row; `describe` names the columns.
  void Start(bool describe) {
    fetching = true;
    bool got = Fetch([&] { return statement->execute(true); });
    if (describe) {
      std::vector<std::string> names;
      for (std::size_t i = 0; i < row->size(); ++i)
        names.push_back(row->get_properties(i).get_name());
      SetColumns(MakeColumns(std::move(names)));
      types.clear();
      for (std::size_t i = 0; i < row->size(); ++i) {
        auto type = row->get_properties(i).get_data_type();
        types.push_back(type);
        kinds.push_back(type == soci::dt_date ? FieldKind::Date
                        : type == soci::dt_string || type == soci::dt_xml || type == soci::dt_blob
                            ? FieldKind::Text
                            : FieldKind::Number);
      }
    }
    open = true;
    Settle(got);
  }

  std::size_t Column(std::string_view name) const {
    if (!open)
      throw AppError(VbError::kNoCurrentRecord, "",
                     "Operation is not allowed when the object is closed.");
    const std::size_t* found = columns->Find(name);
    if (found == nullptr)
      throw AppError(VbError::kItemNotFound, "",
                     "Item cannot be found in the collection corresponding to the requested "
                     "name or ordinal: " +
                         std::string(name));
    return *found;
  }

  const Row& Current() const {
    if (!open || eof)
      throw AppError(VbError::kNoCurrentRecord, "",
                     "Either BOF or EOF is True, or the current record has been deleted.");
    return current;
  }

  const Variant& Value(std::size_t column) const {
    const Row& current_row = Current();
    if (column < problems.size() && !problems[column].empty())
      throw AppError(VbError::kTypeMismatch, "", problems[column]);
    return current_row.at(column);
  }
};

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset Recordset::FromRows(std::vector<std::string> columns, std::vector<Row> rows) {
  return FromRows(MakeColumns(std::move(columns)), std::move(rows));
}

Recordset Recordset::FromRows(std::shared_ptr<const Columns> columns, std::vector<Row> rows) {
  Recordset recordset;
  Impl& impl = *recordset.impl_;
  impl.SetColumns(std::move(columns));
  for (std::size_t i = 0; i < impl.Names().size(); ++i) {
    const Variant* sample = rows.empty() || i >= rows[0].size() ? nullptr : &rows[0][i];
    impl.kinds.push_back(sample && sample->IsDate()      ? FieldKind::Date
                         : sample && sample->IsNumeric() ? FieldKind::Number
                                                         : FieldKind::Text);
  }
  impl.pending.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
  impl.open = true;
  impl.Advance();
  return recordset;
}

Recordset Recordset::FromRows(std::shared_ptr<const Columns> columns, std::vector<Row> rows,
                              std::vector<FieldKind> kinds) {
  Recordset recordset = FromRows(std::move(columns), std::move(rows));
  if (kinds.size() == recordset.impl_->Names().size()) recordset.impl_->kinds = std::move(kinds);
  return recordset;
}

void Recordset::Open(std::string_view sql, const std::shared_ptr<Connection>& connection,
                     const std::vector<Variant>& parameters) {
  Close();
  if (!connection) throw AppError(kUnexpectedError, "", "The recordset has no connection");
  int markers = 0;
  std::string text = SqlMarkers::ToNamed(sql, markers);
  if (markers != static_cast<int>(parameters.size()))
    throw AppError(kUnexpectedError, "",
                   "The statement has " + std::to_string(markers) + " markers but " +
                       std::to_string(parameters.size()) + " values were given");
  Impl& impl = *impl_;
  connection->BeforeStatement(false);
  auto session = connection->Session();
  try {
    const bool again = impl.statement && impl.session == session && impl.prepared_text == text &&
                       SociValue::Reassign(impl.values, parameters);
    if (!again) impl.Prepare(std::move(session), text, parameters);
    impl.Start(!again);
  } catch (const AppError&) {
    impl.ReleaseStatement();
    throw;
  } catch (const std::exception& error) {
    impl.ReleaseStatement();
    throw AppError(kUnexpectedError, "", SociValue::Message(error));
  }
}

void Recordset::OpenInBatches(std::string_view sql, const std::shared_ptr<Connection>& connection,
                              std::size_t batch) {
  if (!connection) throw AppError(kUnexpectedError, "", "The recordset has no connection");
  auto session = connection->Session();
  if (batch == 0 || session->get_backend_name() != "postgresql") return Open(sql, connection);
  Close();
  int markers = 0;
  const std::string text = SqlMarkers::ToNamed(sql, markers);
  if (markers != 0)
    throw AppError(kUnexpectedError, "", "A statement read in batches takes no parameters");
  Impl& impl = *impl_;
  impl.ReleaseStatement();
  connection->BeforeStatement(false);
  try {
    static std::atomic<std::uint64_t> cursors{0};
    if (!connection->InTransaction()) {
      connection->BeginTrans();
      impl.own_transaction = true;
    }
    impl.cursor_connection = connection;
    impl.cursor = "orv_cursor_" + std::to_string(++cursors);
    *session << "DECLARE " + impl.cursor + " NO SCROLL CURSOR FOR " + text;
    // FETCH cannot be prepared on the server: it is sent as it stands each time.
    impl.Prepare(session, "FETCH FORWARD " + std::to_string(batch) + " FROM " + impl.cursor, {},
                 soci::details::st_one_time_query);
    impl.prepared_text.clear();
    impl.Start(true);
  } catch (const AppError&) {
    impl.EndCursor();
    impl.ReleaseStatement();
    throw;
  } catch (const std::exception& error) {
    impl.EndCursor();
    impl.ReleaseStatement();
    throw AppError(kUnexpectedError, "", SociValue::Message(error));
  }
}

void Recordset::Close() {
  if (impl_->fetching) impl_->Finish();
  impl_->EndCursor();
  impl_->pending.clear();
  impl_->current.clear();
  impl_->open = false;
  impl_->eof = true;
}

bool Recordset::IsOpen() const { return impl_->open; }
bool Recordset::Eof() const { return impl_->eof; }

void Recordset::MoveNext() {
  impl_->Current();
  impl_->Advance();
}

Variant Recordset::Fields(std::string_view name) const { return impl_->Value(impl_->Column(name)); }

bool Recordset::HasField(std::string_view name) const {
  return impl_->columns->Find(name) != nullptr;
}

std::size_t Recordset::FieldIndex(std::string_view name) const { return impl_->Column(name); }

const std::shared_ptr<const Recordset::Columns>& Recordset::ColumnSet() const {
  return impl_->columns;
}

std::size_t Recordset::FieldCount() const { return impl_->Names().size(); }

const std::string& Recordset::FieldName(std::size_t index) const {
  if (index >= impl_->Names().size())
    throw AppError(VbError::kItemNotFound, "", "No field number " + std::to_string(index));
  return impl_->Names()[index];
}

Variant Recordset::FieldValue(std::size_t index) const {
  FieldName(index);
  return impl_->Value(index);
}

Recordset::FieldKind Recordset::KindOf(std::size_t index) const {
  FieldName(index);
  return impl_->kinds.at(index);
}

std::vector<Recordset::Row> Recordset::GetRows() {
  std::vector<Row> rows;
  while (!impl_->eof) {
    for (std::size_t i = 0; i < impl_->current.size(); ++i) impl_->Value(i);
    rows.push_back(impl_->current);
    impl_->Advance();
  }
  return rows;
}

}  // namespace orv
