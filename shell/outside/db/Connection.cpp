#include "shell/outside/db/Connection.h"

#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>

#include <algorithm>
#include <deque>
#include <filesystem>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/FaultPlan.h"
#include "shell/outside/db/SociValue.h"
#include "shell/outside/db/SqlMarkers.h"
#include "shell/outside/db/WritePipeline.h"

namespace orv {
namespace {

std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

// libpq prints server notices to stderr; keep them quiet unless the caller chose otherwise.
std::string PostgresConnectString(const std::string& location) {
  bool uri = location.rfind("postgres", 0) == 0 && location.find("://") != std::string::npos;
  if (location.find("options") != std::string::npos) return location;
  if (uri)
    return location + (location.find('?') == std::string::npos ? "?" : "&") +
           "options=-c%20client_min_messages%3Dwarning";
  return location + " options='-c client_min_messages=warning'";
}

std::shared_ptr<soci::session> OpenSQLite(const std::string& path) {
  std::error_code ignored;
  if (path.empty())
    throw AppError(kUnexpectedError, "", "No SQLite database file was given for the company");
  if (!std::filesystem::is_regular_file(path, ignored))
    throw AppError(kUnexpectedError, "", "The company database file '" + path + "' does not exist");
  // Another program writing the company file makes us wait up to ten seconds, not fail at once.
  auto session =
      std::make_shared<soci::session>(*soci::factory_sqlite3(), "db=:memory: timeout=10");
  *session << "ATTACH DATABASE " + Quoted(path) + " AS scheme";
  // A file that is not a SQLite database is only noticed on first read.
  int tables = 0;
  *session << "select count(*) from scheme.sqlite_master", soci::into(tables);
  return session;
}

}  // namespace

void Connection::OneThreadPerConnection() {
  // Refused (and nothing changes) once SQLite has been initialised.
  sqlite_api::sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
}

Connection::Connection() = default;

Connection::~Connection() {
  try {
    Close();
  } catch (...) {
  }
}

void Connection::Open(const DatabaseTarget& target) {
  Close();
  if (!target.Readable())
    throw AppError(kUnexpectedError, "",
                   "Cannot open the database " + target.Display() +
                       ": libpq cannot read the connection string (an unterminated quote, a "
                       "misspelt keyword or a missing '=')");
  try {
    session_ = target.kind == DatabaseTarget::Kind::SQLite
                   ? OpenSQLite(target.location)
                   : std::make_shared<soci::session>(*soci::factory_postgresql(),
                                                     PostgresConnectString(target.location));
  } catch (const AppError&) {
    throw;
  } catch (const std::exception& error) {
    throw AppError(
        kUnexpectedError, "",
        "Cannot open the database " + target.Display() + ": " + SociValue::Message(error));
  }
  target_ = target;
}

void Connection::Close() {
  prepared_.clear();
  if (pipeline_) {
    pipeline_->Drain();
    pipeline_->Forget();
  }
  send_ahead_ = false;
  if (!session_) return;
  ++undos_;
  auto session = std::move(session_);
  session_.reset();
  savepoints_.clear();
  if (in_transaction_) {
    in_transaction_ = false;
    try {
      session->rollback();
    } catch (...) {
    }
  }
  // Statements still holding the session keep it alive until they let go of it; closing it here
  // would leave them dangling.
  if (session.use_count() == 1) session->close();
}

bool Connection::IsOpen() const { return session_ != nullptr; }

std::shared_ptr<soci::session> Connection::Session() const {
  if (!session_)
    throw AppError(kUnexpectedError, "", "Operation is not allowed when the connection is closed");
  return session_;
}

void Connection::BeforeStatement(bool may_write) {
  if (faults_) faults_->Reach("statement");
  if (may_write) ++writes_;
  if (!(may_write && send_ahead_)) SyncWrites();
}

void Connection::SetSendWritesAhead(bool on) {
  if (!on) {
    SyncWrites();
    send_ahead_ = false;
    return;
  }
  // Outside a transaction each statement stands alone, which a pipeline would not keep: a
  // failed write would undo those sent with it.
  send_ahead_ = in_transaction_ && WritePipeline::Supports(*Session());
  if (!send_ahead_) return;
  if (!pipeline_) pipeline_ = std::make_unique<WritePipeline>();
  pipeline_->ClearFailure();
}

void Connection::SyncWrites() {
  if (pipeline_) pipeline_->Sync();
}

std::optional<std::int64_t> Connection::FailedWriteTag() const {
  return pipeline_ ? pipeline_->FailedTag() : std::nullopt;
}

bool Connection::SendWriteAhead(std::string_view sql,
                                const std::vector<std::optional<std::string>>& values) {
  if (!send_ahead_) return false;
  pipeline_->Send(*Session(), sql, values, write_tag_);
  return true;
}

// A statement Execute prepared, kept for its next use with the same text.
struct Connection::Prepared {
  std::string text;
  std::deque<SociValue::BoundValue> slots;
  std::unique_ptr<soci::statement> statement;
};

long long Connection::Execute(std::string_view sql, const std::vector<Variant>& parameters) {
  auto session = Session();
  int markers = 0;
  std::string text = SqlMarkers::ToNamed(sql, markers);
  if (markers != static_cast<int>(parameters.size()))
    throw AppError(kUnexpectedError, "",
                   "The statement has " + std::to_string(markers) + " markers but " +
                       std::to_string(parameters.size()) + " values were given");
  BeforeStatement(true);
  if (send_ahead_) {
    std::vector<std::optional<std::string>> texts;
    for (const auto& value : parameters) texts.push_back(SociValue::ServerText(value));
    SendWriteAhead(sql, texts);
    return 0;
  }
  // The most recently used statements come first.
  auto found = std::find_if(prepared_.begin(), prepared_.end(),
                            [&](const auto& entry) { return entry->text == text; });
  std::unique_ptr<Prepared> entry;
  if (found != prepared_.end()) {
    entry = std::move(*found);
    prepared_.erase(found);
    if (!SociValue::Reassign(entry->slots, parameters)) entry.reset();
  }
  try {
    if (!entry) {
      entry = std::make_unique<Prepared>();
      entry->text = text;
      entry->statement = std::make_unique<soci::statement>(*session);
      SociValue::BindAll(*entry->statement, entry->slots, parameters);
      entry->statement->alloc();
      entry->statement->prepare(text);
      entry->statement->define_and_bind();
    }
    entry->statement->execute(true);
    const long long affected = entry->statement->get_affected_rows();
    // SQLite's statement is reset, so that it holds nothing while it waits for its next use.
    if (auto* sqlite = SociValue::SqliteStatement(*session, *entry->statement))
      sqlite_api::sqlite3_reset(sqlite);
    prepared_.insert(prepared_.begin(), std::move(entry));
    if (prepared_.size() > kPreparedKept) prepared_.pop_back();
    return affected;
  } catch (const std::exception& error) {
    throw AppError(kUnexpectedError, "", SociValue::Message(error));
  }
}

void Connection::BeginTrans() {
  auto session = Session();
  if (in_transaction_) throw AppError(kUnexpectedError, "", "A transaction is already in progress");
  SyncWrites();
  if (faults_) faults_->Reach("begin");
  try {
    session->begin();
  } catch (const std::exception& error) {
    throw AppError(kUnexpectedError, "", SociValue::Message(error));
  }
  in_transaction_ = true;
}

void Connection::CommitTrans() {
  auto session = Session();
  if (!in_transaction_) throw AppError(kUnexpectedError, "", "No transaction is in progress");
  in_transaction_ = false;
  send_ahead_ = false;
  savepoints_.clear();
  try {
    SyncWrites();
    if (faults_) faults_->Reach("commit");
    session->commit();
  } catch (const std::exception& error) {
    AppError failure(kUnexpectedError, "", SociValue::Message(error));
    // SQLite keeps the transaction open when its commit fails (a busy or full database); a later
    // statement would then run inside it, and a later commit would keep it.
    try {
      session->rollback();
    } catch (...) {
    }
    throw failure;
  }
}

void Connection::RunSavepointStatement(const std::string& sql) {
  auto session = Session();
  SyncWrites();
  try {
    session->once << sql;
  } catch (const std::exception& error) {
    throw AppError(kUnexpectedError, "", SociValue::Message(error));
  }
}

std::vector<std::string>::iterator Connection::FindSavepoint(const std::string& name) {
  auto found = std::find(savepoints_.begin(), savepoints_.end(), name);
  if (found == savepoints_.end())
    throw AppError(kUnexpectedError, "",
                   "'" + name + "' is not a savepoint of the transaction in progress");
  return found;
}

bool Connection::HasSavepoint(const std::string& name) const {
  return std::find(savepoints_.begin(), savepoints_.end(), name) != savepoints_.end();
}

std::string Connection::Savepoint() {
  if (!in_transaction_)
    throw AppError(kUnexpectedError, "", "No transaction is in progress for a savepoint");
  std::string name = "orv_savepoint_" + std::to_string(savepoints_made_ + 1);
  RunSavepointStatement("SAVEPOINT " + name);
  ++savepoints_made_;
  savepoints_.push_back(name);
  return name;
}

void Connection::RollbackToSavepoint(const std::string& name) {
  auto found = FindSavepoint(name);
  ++undos_;
  RunSavepointStatement("ROLLBACK TO SAVEPOINT " + name);
  savepoints_.erase(found + 1, savepoints_.end());
}

void Connection::ReleaseSavepoint(const std::string& name) {
  auto found = FindSavepoint(name);
  RunSavepointStatement("RELEASE SAVEPOINT " + name);
  savepoints_.erase(found, savepoints_.end());
}

void Connection::RollbackTrans() {
  auto session = Session();
  if (!in_transaction_) throw AppError(kUnexpectedError, "", "No transaction is in progress");
  in_transaction_ = false;
  send_ahead_ = false;
  savepoints_.clear();
  ++undos_;
  if (pipeline_) pipeline_->Drain();
  try {
    session->rollback();
  } catch (const std::exception& error) {
    throw AppError(kUnexpectedError, "", SociValue::Message(error));
  }
}

}  // namespace orv
