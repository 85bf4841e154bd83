#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace soci {
class session;
}

namespace orv {

// Writes sent to a PostgreSQL server without waiting for each answer (libpq's pipeline mode):
// the server works on them while the caller goes on, and the answers are collected in one go by
// Sync. A run that writes row after row then pays one round trip per batch of writes, not one per
// write. Only the Connection uses it, and only between statements of its own: the session must
// not be used for anything else while writes are outstanding (Sync first).
class WritePipeline {
 public:
  // A parameter as text, as the database library would send it; nullopt for Null.
  using Value = std::optional<std::string>;

  // False (and nothing changes) for a session that is not PostgreSQL's.
  static bool Supports(soci::session& session);

  WritePipeline() = default;
  // Leaves the session alone: its owner syncs or drains before closing it.
  ~WritePipeline();
  WritePipeline(const WritePipeline&) = delete;
  WritePipeline& operator=(const WritePipeline&) = delete;

  // Sends `sql` ("?" markers, a statement that returns no rows) with `values` on `session`,
  // prepared once per session and text; `tag` names the work it was sent for. AppError when it
  // cannot be sent (a lost connection); the statement's own failure comes with Sync.
  void Send(soci::session& session, std::string_view sql, const std::vector<Value>& values,
            std::int64_t tag);
  // Collects every answer and leaves the session for ordinary statements again. AppError with
  // the first failed write's message (its tag in FailedTag(); the writes after it were not
  // done, and the server's transaction is aborted, as after any failed statement).
  void Sync();
  // The same, for a caller that is rolling back anyway: failures are dropped. Never throws.
  void Drain() noexcept;
  bool Pending() const { return !sent_.empty(); }
  // The session is going: everything about it is dropped without touching it (Sync or Drain
  // first while it is still open).
  void Forget();
  std::optional<std::int64_t> FailedTag() const { return failed_tag_; }
  void ClearFailure() { failed_tag_.reset(); }

  // Writes outstanding before Send collects the answers by itself, so that neither side's
  // buffers fill while the other waits.
  static constexpr std::size_t kMaxOutstanding = 1000;

 private:
  // Reads the answers; the first failure's message, or nullopt.
  std::optional<std::string> Collect();

  void* connection_ = nullptr;  // the PGconn of the session the statements were prepared on
  const soci::session* session_ = nullptr;
  std::unordered_map<std::string, std::string> names_;  // statement text to prepared name
  // For each statement prepared or write sent and not yet answered, the tag of its work.
  std::vector<std::int64_t> sent_;
  std::optional<std::int64_t> failed_tag_;
};

}  // namespace orv
