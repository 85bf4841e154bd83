#include "shell/outside/db/SavepointGuard.h"

#include "shell/outside/db/Connection.h"

namespace orv {

SavepointGuard::SavepointGuard(Connection& connection) : connection_(connection) {
  if (connection_.InTransaction()) name_ = connection_.Savepoint();
}

SavepointGuard::~SavepointGuard() {
  if (!Holding()) return;
  try {
    Rollback();
  } catch (...) {
  }
}

bool SavepointGuard::Holding() const { return !name_.empty() && connection_.HasSavepoint(name_); }

void SavepointGuard::Release() {
  if (!Holding()) return;
  std::string name = std::move(name_);
  name_.clear();
  connection_.ReleaseSavepoint(name);
}

void SavepointGuard::Undo() {
  if (!Holding()) return;
  connection_.RollbackToSavepoint(name_);
  // SQLite keeps what a savepoint may undo in a journal that rolling back does not shorten: a
  // savepoint undone to again and again grows slower each time (a check of 20,000 changed rows
  // took a minute instead of two seconds), so there it is taken afresh. A server begins the
  // savepoint anew itself when it rolls back to it.
  if (connection_.Target().kind != DatabaseTarget::Kind::SQLite) return;
  connection_.ReleaseSavepoint(name_);
  name_ = connection_.Savepoint();
}

void SavepointGuard::Rollback() {
  if (!Holding()) return;
  std::string name = std::move(name_);
  name_.clear();
  connection_.RollbackToSavepoint(name);
  connection_.ReleaseSavepoint(name);
}

}  // namespace orv
