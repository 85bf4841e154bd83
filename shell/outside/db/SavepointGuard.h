#pragma once

#include <string>

namespace orv {

class Connection;

// "Try this statement; on failure undo only it", inside a longer transaction:
//
//   SavepointGuard guard(*connection);
//   try {
//     read.Execute();   // may fail: a missing optional record, a constraint
//     guard.Release();
//   } catch (const AppError&) {
//   }                   // the guard's end rolls back to before the read; the transaction goes on
//
// With a transaction open, construction takes a savepoint (AppError when the database refuses).
// Release() keeps the work done since and forgets the savepoint. A guard that ends unreleased
// rolls back to its savepoint and releases it, so that PostgreSQL accepts further statements in
// the transaction; that clean-up never throws (when it fails, say the connection was lost, the
// transaction is the owner's to roll back). Guards nest: each has its own savepoint.
//
// With no transaction open (each statement then stands alone) the guard does nothing and costs
// one test; it also does nothing once its savepoint is gone (the transaction ended, or an outer
// savepoint was rolled back or released).
class SavepointGuard {
 public:
  explicit SavepointGuard(Connection& connection);
  ~SavepointGuard();
  SavepointGuard(const SavepointGuard&) = delete;
  SavepointGuard& operator=(const SavepointGuard&) = delete;

  // Keeps the work done since the guard was made. AppError when the database refuses.
  void Release();
  // Undoes the work done since the guard was made, now. AppError when the database refuses.
  void Rollback();
  // The same, keeping the savepoint (or one in its place) for the next piece of work to be
  // undone to. AppError when the database refuses.
  void Undo();
  // Whether the guard still holds a savepoint of the open transaction.
  bool Holding() const;

 private:
  Connection& connection_;
  std::string name_;
};

}  // namespace orv
