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
  if (Holding()) connection_.RollbackToSavepoint(name_);
}

void SavepointGuard::Rollback() {
  if (!Holding()) return;
  std::string name = std::move(name_);
  name_.clear();
  connection_.RollbackToSavepoint(name);
  connection_.ReleaseSavepoint(name);
}

}  // namespace orv
