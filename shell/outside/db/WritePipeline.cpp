#include "shell/outside/db/WritePipeline.h"

#include <libpq-fe.h>
#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/SqlMarkers.h"

namespace orv {
namespace {

PGconn* ConnectionOf(soci::session& session) {
  return static_cast<soci::postgresql_session_backend*>(session.get_backend())->conn_;
}

std::string Trimmed(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace

bool WritePipeline::Supports(soci::session& session) {
  return session.get_backend_name() == "postgresql";
}

WritePipeline::~WritePipeline() = default;

void WritePipeline::Forget() {
  names_.clear();
  sent_.clear();
  session_ = nullptr;
  connection_ = nullptr;
}

void WritePipeline::Send(soci::session& session, std::string_view sql,
                         const std::vector<Value>& values, std::int64_t tag) {
  PGconn* connection = ConnectionOf(session);
  if (session_ != &session || connection_ != connection) {
    Forget();
    session_ = &session;
    connection_ = connection;
  }
  auto fail = [&](const std::string& what) {
    throw AppError(kUnexpectedError, "", what + ": " + Trimmed(PQerrorMessage(connection)));
  };
  if (PQpipelineStatus(connection) == PQ_PIPELINE_OFF && PQenterPipelineMode(connection) != 1)
    fail("Cannot send writes ahead");
  std::string& name = names_[std::string(sql)];
  if (name.empty()) {
    int markers = 0;
    const std::string numbered = SqlMarkers::Replace(
        sql, [](int n) { return "$" + std::to_string(n); }, markers);
    const std::string wanted = "orv_write_" + std::to_string(names_.size());
    if (PQsendPrepare(connection, wanted.c_str(), numbered.c_str(), markers, nullptr) != 1) {
      names_.erase(std::string(sql));
      fail("Cannot prepare a write");
    }
    name = wanted;
    sent_.push_back(tag);
  }
  std::vector<const char*> texts;
  texts.reserve(values.size());
  for (const auto& value : values) texts.push_back(value ? value->c_str() : nullptr);
  if (PQsendQueryPrepared(connection, name.c_str(), static_cast<int>(texts.size()), texts.data(),
                          nullptr, nullptr, 0) != 1)
    fail("Cannot send a write");
  sent_.push_back(tag);
  if (sent_.size() >= kMaxOutstanding) Sync();
}

std::optional<std::string> WritePipeline::Collect() {
  auto* connection = static_cast<PGconn*>(connection_);
  std::optional<std::string> failure;
  if (PQpipelineSync(connection) != 1) failure = Trimmed(PQerrorMessage(connection));
  // Each write's results end with a null; the pipeline's end is its sync.
  for (const std::int64_t tag : sent_) {
    while (PGresult* result = PQgetResult(connection)) {
      if (PQresultStatus(result) == PGRES_FATAL_ERROR && !failure) {
        failure = Trimmed(PQresultErrorMessage(result));
        failed_tag_ = tag;
      }
      PQclear(result);
    }
  }
  sent_.clear();
  bool synced = false;
  while (PGresult* result = PQgetResult(connection)) {
    synced = synced || PQresultStatus(result) == PGRES_PIPELINE_SYNC;
    PQclear(result);
    if (synced) break;
  }
  if (!synced && !failure)
    failure = "The server did not answer: " + Trimmed(PQerrorMessage(connection));
  if (PQpipelineStatus(connection) != PQ_PIPELINE_OFF) PQexitPipelineMode(connection);
  return failure;
}

void WritePipeline::Sync() {
  if (connection_ == nullptr ||
      (sent_.empty() && PQpipelineStatus(static_cast<PGconn*>(connection_)) == PQ_PIPELINE_OFF))
    return;
  if (auto failure = Collect())
    throw AppError(kUnexpectedError, "", "Cannot execute query. " + *failure);
}

void WritePipeline::Drain() noexcept {
  try {
    Sync();
  } catch (...) {
  }
}

}  // namespace orv
