#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/Variant.h"
#include "shell/outside/db/DatabaseTarget.h"

namespace soci {
class session;
}

namespace orv {

class FaultPlan;
class WritePipeline;

// The database connection in the manner of ADO's Connection: run a statement, begin, commit and
// roll back a transaction. Every table is reached owner-qualified as "scheme.<table>": a SQLite
// company file is attached as schema "scheme" to an in-memory main database; a PostgreSQL company
// keeps its tables in schema "scheme".
//
// One Connection object can be closed and opened again (on another company); commands and
// recordsets made on it notice the new session and prepare their statements again.
class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // AppError when the SQLite file does not exist (it is never created here) or the server cannot
  // be reached; the message names the database, never a password.
  void Open(const DatabaseTarget& target);
  // For a process that uses each connection from one thread at a time, as orvstock does: SQLite
  // connections opened afterwards do without the lock they otherwise take around every call (a
  // tenth of a large download's time). Call it before any SQLite connection is opened in the
  // process; afterwards it changes nothing. A library loaded into another program leaves it be.
  static void OneThreadPerConnection();
  // Rolls back a transaction still open, then closes. Closing a closed connection does nothing.
  void Close();
  bool IsOpen() const;
  const DatabaseTarget& Target() const { return target_; }

  // Runs a statement that returns no rows and returns the number of rows affected (0 for a write
  // sent ahead, see SetSendWritesAhead). "?" markers
  // take `parameters` in order, each bound with the type of its value (Null for Null or Empty).
  // The last few statements stay prepared: running the same text again only binds and executes.
  long long Execute(std::string_view sql, const std::vector<Variant>& parameters = {});

  void BeginTrans();
  // A commit that fails rolls the transaction back: nothing of it is kept by a later commit.
  void CommitTrans();
  void RollbackTrans();
  bool InTransaction() const { return in_transaction_; }
  // How many times work has been undone on this connection (a transaction rolled back, whole or
  // to a savepoint) or its session closed: what was read before may no longer be so. Caches of
  // what a run writes compare it.
  std::uint64_t Undos() const { return undos_; }
  // How many statements that may write (every one that returns no rows) have been run on this
  // connection: work across which it did not move wrote nothing, and has nothing to undo.
  std::uint64_t Writes() const { return writes_; }

  // Savepoints of the open transaction (SAVEPOINT, ROLLBACK TO SAVEPOINT, RELEASE SAVEPOINT, the
  // same on both databases). After a failed statement PostgreSQL refuses every further one until
  // the transaction is rolled back, whole or to a savepoint taken before the statement; SQLite
  // keeps going, but rolling back to the savepoint undoes the statement's partial work alike.
  // SavepointGuard wraps them for one statement that may fail.
  //
  // Savepoint() marks a point and returns its name, unique on this connection, so savepoints
  // nest. Rolling back to a savepoint undoes the work done since and keeps the transaction (and
  // the savepoint); releasing it keeps the work and forgets the savepoint and the ones taken
  // after it. AppError when no transaction is open, when `name` is not a savepoint of the open
  // transaction (checked before anything reaches the database, where a wrong name would abort
  // a PostgreSQL transaction), or when the database refuses.
  std::string Savepoint();
  void RollbackToSavepoint(const std::string& name);
  void ReleaseSavepoint(const std::string& name);
  // Whether `name` is a savepoint of the open transaction, not yet released or rolled past.
  bool HasSavepoint(const std::string& name) const;

  // Writes sent ahead, on a PostgreSQL server within a transaction (otherwise, and on SQLite,
  // turning it on changes nothing): while on, a statement that returns no rows (Execute, or a
  // Command's) is sent without waiting for its answer, and the answers are collected together
  // when the connection next needs one (any other statement, a savepoint, a commit, a rollback,
  // closing) or at SyncWrites. A write that failed then fails that call with the write's own
  // error, FailedWriteTag() names the work it was sent for (the SetWriteTag in force when it was
  // sent), and the transaction is aborted as after any failed statement. Turning it off collects
  // the answers first; the transaction's end turns it off.
  void SetSendWritesAhead(bool on);
  bool SendsWritesAhead() const { return send_ahead_; }
  void SetWriteTag(std::int64_t tag) { write_tag_ = tag; }
  void SyncWrites();
  std::optional<std::int64_t> FailedWriteTag() const;
  // Sends a write ahead when writes are sent ahead; false (nothing sent) otherwise. `values` are
  // the statement's "?" markers in order, as the server takes them (SociValue::ServerText).
  bool SendWriteAhead(std::string_view sql, const std::vector<std::optional<std::string>>& values);

  // The open session, shared with the statements prepared on it; AppError when closed.
  std::shared_ptr<soci::session> Session() const;

  // For tests of what a failure leaves behind: every statement run on this connection (by
  // Execute, a Command or a Recordset), every begin and every commit is first reported to
  // `plan`, and fails when the plan says so. Null, as in every real run, plans nothing.
  void SetFaultPlan(std::shared_ptr<FaultPlan> plan) { faults_ = std::move(plan); }
  // Reports a statement about to run to the fault plan (the AppError of a planned failure) and,
  // when it `may_write`, to Writes().
  void BeforeStatement(bool may_write);

 private:
  void RunSavepointStatement(const std::string& sql);
  std::vector<std::string>::iterator FindSavepoint(const std::string& name);

  struct Prepared;
  std::unique_ptr<WritePipeline> pipeline_;
  bool send_ahead_ = false;
  std::int64_t write_tag_ = 0;
  static constexpr std::size_t kPreparedKept = 8;

  std::shared_ptr<soci::session> session_;
  // Statements Execute prepared, most recently used first; they go with the session.
  std::vector<std::unique_ptr<Prepared>> prepared_;
  DatabaseTarget target_;
  bool in_transaction_ = false;
  // The open transaction's savepoints, oldest first.
  std::vector<std::string> savepoints_;
  std::uint64_t savepoints_made_ = 0;
  std::uint64_t undos_ = 0;
  std::uint64_t writes_ = 0;
  std::shared_ptr<FaultPlan> faults_;
};

}  // namespace orv
