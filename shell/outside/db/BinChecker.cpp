#include "shell/outside/db/BinChecker.h"

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {

void BinChecker::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  known_.clear();
  undos_ = connection ? connection->AdoConnection()->Undos() : 0;
  read_.SetActiveConnection(connection);
  insert_.SetActiveConnection(std::move(connection));
}

void BinChecker::Check(const std::string& warehouse, const std::string& bin) {
  if (!read_.Prepared()) {
    const std::string table = read_.ActiveConnection()->TableCatalogue().Bins();
    read_.SetSQL("select bin_code from " + table + " where warehouse = ? and bin_code = ?");
    read_.AddTextParameter("warehouse", 2);
    read_.AddTextParameter("bin_code", 10);
    read_.SetPrepared(true);
    insert_.SetSQL("insert into " + table +
                   " (warehouse, bin_code, bin_status, comments) values (?, ?, 'A', '')");
    insert_.AddTextParameter("warehouse", 2);
    insert_.AddTextParameter("bin_code", 10);
    insert_.SetPrepared(true);
  }
  const std::uint64_t undos = read_.ActiveConnection()->AdoConnection()->Undos();
  if (undos != undos_) {
    known_.clear();
    undos_ = undos;
  }
  std::string key = warehouse;
  key.push_back('\0');
  key += bin;
  auto kept = known_.find(key);
  if (kept == known_.end()) {
    read_.SetTextParameter("warehouse", warehouse);
    read_.SetTextParameter("bin_code", bin);
    kept = known_.emplace(key, !read_.GetCommand().Execute().Eof()).first;
  }
  if (kept->second) return;

  bool create = false, accept = false;
  BinMissing.Raise(warehouse, bin, create, accept);
  if (create) {
    known_.erase(key);
    insert_.SetTextParameter("warehouse", warehouse);
    insert_.SetTextParameter("bin_code", bin);
    insert_.GetCommand().Execute();
  } else if (!accept) {
    throw AppError(vbObjectError + 6500, "",
                   "Bin " + bin + " is not on file for warehouse " + warehouse);
  }
}

}  // namespace orv
