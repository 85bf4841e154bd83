#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "shell/outside/base/Variant.h"
#include "shell/outside/db/Recordset.h"

namespace orv {

class Connection;

// Reads ahead for a query that a run asks once a row with the row's key ("select * from t where
// warehouse = ? and product = ?"): the keys of the rows to come are asked in one statement, so
// that a server is asked once for many rows instead of once a row.
//
//   ReadAhead ahead(sql);
//   ahead.Expect(keys of the next rows);
//   for each row: if (auto answer = ahead.Take(connection, key)) use *answer; else ask sql itself
//
// The statement runs `sql` itself once for each key (a lateral join over the keys, each cast to
// the type the server gives the marker it stands for), so that the database matches each key
// exactly as `sql` alone would. The keys expected are asked together when the first of them is
// taken. Keys compare by their values' text. Only a server is asked ahead: on SQLite, which
// answers a row as fast as a batch, nothing is ever held.
//
// An answer is given once: taking a key forgets what is held for it, so that a later row with the
// same key, whose record the first may have written since, asks the database itself. The answers
// stay true only while nothing but the row that takes a key writes what `sql` reads for it; the
// owner calls Forget when its transaction ends or anything else may have written.
class ReadAhead {
 public:
  static constexpr std::size_t kBatch = 100;

  // `sql` must begin with "select" (else AppError) and take its key through "?" markers. `batch`
  // keys are asked by one statement (a shorter last batch repeats its last key). A key of a kind
  // other than text or number, or a query the server cannot describe, is never read ahead.
  explicit ReadAhead(std::string sql, std::size_t batch = kBatch);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  const std::string& Sql() const { return sql_; }

  // The keys of the rows to come, in order, in place of any expected and not yet asked. Answers
  // held from before stay.
  void Expect(std::vector<std::vector<Variant>> keys);
  // The rows `sql` gives for `key`, when the key is held or expected (the expected keys are then
  // asked, on `connection`); nullopt when not, or when the asking failed: the caller then asks
  // `sql` itself and meets any error there, as a row of its own. Inside a transaction the asking
  // runs under a savepoint, so that its failure leaves the transaction usable. A row whose values
  // cannot be read is not held either, for the same reason.
  std::optional<Recordset> Take(const std::shared_ptr<Connection>& connection,
                                const std::vector<Variant>& key);
  // Drops every answer held and every key expected.
  void Forget();

 private:
  struct Answer {
    std::vector<Recordset::Row> rows;
  };
  static std::string KeyText(const std::vector<Variant>& key);
  void Ask(const std::shared_ptr<Connection>& connection);
  void AskBatch(const std::shared_ptr<Connection>& connection,
                const std::vector<std::vector<Variant>>& keys);
  // Builds the statement that asks a batch, once per session; false when `sql` is not asked
  // ahead on this connection.
  bool Prepare(const std::shared_ptr<Connection>& connection);

  std::string sql_;
  std::size_t batch_;
  std::string batch_sql_;
  const void* batch_session_ = nullptr;
  std::vector<std::vector<Variant>> expected_;
  std::unordered_set<std::string> expected_keys_;
  std::unordered_map<std::string, Answer> answers_;
  // The answers' columns (the statement's less the tag), made once for every answer.
  std::shared_ptr<const Recordset::Columns> columns_;
  std::shared_ptr<const Recordset::Columns> asked_columns_;
  std::vector<Recordset::FieldKind> kinds_;
  // Kept from one asking to the next: the statement is prepared once.
  Recordset reader_;
};

}  // namespace orv
