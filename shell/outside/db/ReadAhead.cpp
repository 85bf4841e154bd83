#include "shell/outside/db/ReadAhead.h"

#include <soci/soci.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <set>
#include <unordered_set>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/SavepointGuard.h"
#include "shell/outside/db/SociValue.h"
#include "shell/outside/db/SqlMarkers.h"

namespace orv {
namespace {

// Whether the statement's first word is "select".
bool IsSelect(std::string_view sql) {
  constexpr std::string_view kSelect = "select";
  const std::size_t at = sql.find_first_not_of(" \t\r\n");
  if (at == std::string_view::npos || sql.size() - at <= kSelect.size()) return false;
  for (std::size_t i = 0; i < kSelect.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(sql[at + i])) != kSelect[i]) return false;
  return std::isspace(static_cast<unsigned char>(sql[at + kSelect.size()])) != 0;
}

}  // namespace

ReadAhead::ReadAhead(std::string sql, std::size_t batch)
    : sql_(std::move(sql)), batch_(std::max<std::size_t>(batch, 1)) {
  if (!IsSelect(sql_))
    throw AppError(kUnexpectedError, "", "Reading ahead needs a select statement, not: " + sql_);
}

ReadAhead::~ReadAhead() = default;

std::string ReadAhead::KeyText(const std::vector<Variant>& key) {
  std::string text;
  for (const Variant& value : key) {
    if (value.IsNull() || value.IsEmpty()) {
      text += "N;";
      continue;
    }
    std::string part = value.ToText();
    text += std::to_string(part.size()) + ":" + part;
  }
  return text;
}

bool ReadAhead::Prepare(const std::shared_ptr<Connection>& connection) {
  connection->SyncWrites();  // the session is used directly below
  auto session = connection->Session();
  if (session.get() == batch_session_) return !batch_sql_.empty();
  batch_session_ = session.get();
  batch_sql_.clear();
  // A database in the process answers a row as fast as a batch: only a server is asked ahead.
  if (session->get_backend_name() != "postgresql") return false;
  // The keys are cast to the types the server gives the markers of `sql` itself, so that each
  // key compares as it does there (a char column pads, a varchar column does not).
  static std::atomic<std::uint64_t> probes{0};
  const std::string probe = "orv_read_ahead_" + std::to_string(++probes);
  int markers = 0;
  const std::string numbered = SqlMarkers::Replace(
      sql_, [](int n) { return "$" + std::to_string(n); }, markers);
  std::vector<std::string> types;
  try {
    *session << "PREPARE " + probe + " AS " + numbered;
    try {
      std::string type;
      soci::statement read =
          (session->prepare << "select t.typname from pg_prepared_statements p, "
                               "unnest(p.parameter_types) with ordinality as u(type, n) join "
                               "pg_type t on t.oid = u.type where p.name = :name order by u.n",
           soci::into(type), soci::use(probe, "name"));
      read.execute();
      while (read.fetch()) types.push_back(type);
    } catch (...) {
      *session << "DEALLOCATE " + probe;
      throw;
    }
    *session << "DEALLOCATE " + probe;
  } catch (const std::exception& error) {
    throw AppError(kUnexpectedError, "", SociValue::Message(error));
  }
  if (markers == 0 || types.size() != static_cast<std::size_t>(markers)) return false;
  // Types that take a value of any length when cast to without one ("character" alone would be
  // char(1) and cut the key short); any other kind of key is not read ahead.
  static const std::set<std::string, std::less<>> kWhole = {
      "text", "varchar", "bpchar", "int2", "int4", "int8", "numeric", "float4", "float8"};
  for (const auto& type : types)
    if (kWhole.count(type) == 0) return false;
  // select k.orv_slot, q.* from (values (0, cast(? as T1), ...), ...) as k(orv_slot, c1, ...)
  //   cross join lateral (sql with k.c1, ... for its markers offset 0) as q
  // "offset 0" keeps the server from folding `sql` into a join with the keys, which it may then
  // answer by reading the whole table (a hash join) for every batch instead of the key's index.
  std::string values;
  for (std::size_t slot = 0; slot < batch_; ++slot) {
    values += slot == 0 ? "(" : ", (";
    values += std::to_string(slot);
    for (const auto& type : types) values += ", cast(? as pg_catalog." + type + ")";
    values += ")";
  }
  std::string names = "orv_slot";
  for (int n = 1; n <= markers; ++n) names += ", c" + std::to_string(n);
  const std::string keyed = SqlMarkers::Replace(
      sql_, [](int n) { return "k.c" + std::to_string(n); }, markers);
  batch_sql_ = "select k.orv_slot, q.* from (values " + values + ") as k(" + names +
               ") cross join lateral (" + keyed + " offset 0) as q";
  return true;
}

void ReadAhead::Expect(std::vector<std::vector<Variant>> keys) {
  expected_ = std::move(keys);
  expected_keys_.clear();
  for (const auto& key : expected_) expected_keys_.insert(KeyText(key));
}

void ReadAhead::Forget() {
  expected_.clear();
  expected_keys_.clear();
  answers_.clear();
}

std::optional<Recordset> ReadAhead::Take(const std::shared_ptr<Connection>& connection,
                                         const std::vector<Variant>& key) {
  const std::string text = KeyText(key);
  if (answers_.find(text) == answers_.end() && expected_keys_.count(text) != 0) Ask(connection);
  auto found = answers_.find(text);
  if (found == answers_.end()) return std::nullopt;
  std::vector<Recordset::Row> rows = std::move(found->second.rows);
  answers_.erase(found);
  return Recordset::FromRows(columns_, std::move(rows), kinds_);
}

void ReadAhead::Ask(const std::shared_ptr<Connection>& connection) {
  // Each key once, and none already held: a held answer is older than the row about to take it.
  std::vector<std::vector<Variant>> keys;
  std::unordered_set<std::string> seen;
  for (auto& key : expected_) {
    std::string text = KeyText(key);
    if (answers_.count(text) == 0 && seen.insert(std::move(text)).second)
      keys.push_back(std::move(key));
  }
  expected_.clear();
  expected_keys_.clear();
  if (!connection || keys.empty()) return;
  SavepointGuard guard(*connection);
  try {
    if (!Prepare(connection)) return;
    for (std::size_t first = 0; first < keys.size(); first += batch_) {
      const std::size_t last = std::min(first + batch_, keys.size());
      std::vector<std::vector<Variant>> part(keys.begin() + static_cast<std::ptrdiff_t>(first),
                                             keys.begin() + static_cast<std::ptrdiff_t>(last));
      AskBatch(connection, part);
    }
    guard.Release();
  } catch (const AppError&) {
    // Each row asks on its own and meets the failure there, where it can be named.
    answers_.clear();
    reader_.Close();
  }
}

void ReadAhead::AskBatch(const std::shared_ptr<Connection>& connection,
                         const std::vector<std::vector<Variant>>& keys) {
  std::vector<Variant> parameters;
  for (std::size_t slot = 0; slot < batch_; ++slot) {
    const auto& key = keys[std::min(slot, keys.size() - 1)];
    parameters.insert(parameters.end(), key.begin(), key.end());
  }
  reader_.Open(batch_sql_, connection, parameters);
  if (asked_columns_ != reader_.ColumnSet()) {
    std::vector<std::string> names;
    kinds_.clear();
    for (std::size_t i = 1; i < reader_.FieldCount(); ++i) {
      names.push_back(reader_.FieldName(i));
      kinds_.push_back(reader_.KindOf(i));
    }
    columns_ = Recordset::MakeColumns(std::move(names));
    asked_columns_ = reader_.ColumnSet();
  }
  std::vector<Answer> answers(keys.size());
  std::vector<bool> readable(keys.size(), true);
  for (; !reader_.Eof(); reader_.MoveNext()) {
    const auto slot = static_cast<std::size_t>(reader_.FieldValue(0).ToDouble());
    if (slot >= keys.size()) continue;  // a repeat of the last key
    Recordset::Row row;
    row.reserve(reader_.FieldCount() - 1);
    try {
      for (std::size_t i = 1; i < reader_.FieldCount(); ++i) row.push_back(reader_.FieldValue(i));
    } catch (const AppError&) {
      readable[slot] = false;
      continue;
    }
    answers[slot].rows.push_back(std::move(row));
  }
  reader_.Close();
  for (std::size_t slot = 0; slot < keys.size(); ++slot)
    if (readable[slot]) answers_.insert_or_assign(KeyText(keys[slot]), std::move(answers[slot]));
}

}  // namespace orv
