#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "shell/outside/base/Event.h"
#include "shell/outside/db/PreparedStatement.h"

namespace orv {

class DataConnection;

// Checks a bin of a warehouse against the bin table. A missing bin is put to the owner through
// BinMissing(warehouse, bin, create, accept), both answers false on entry: with `create` the bin
// is added (status "A") on the connection, inside whatever transaction is open, so a run that is
// rolled back leaves no bin behind; without `accept` the bin is refused with the object-error
// base + 6500. Statements are prepared once.
//
// What the bin table answered is kept, so that a run asks once per warehouse and bin: an answer
// is dropped when the checker adds a bin (a bin missing before may be there now) and when the
// connection has undone work since (a bin added before may be gone again).
class BinChecker {
 public:
  Event<const std::string&, const std::string&, bool&, bool&> BinMissing;

  void SetSageConnection(std::shared_ptr<DataConnection> connection);
  void Check(const std::string& warehouse, const std::string& bin);

 private:
  PreparedStatement read_;
  PreparedStatement insert_;
  // Warehouse and bin (separated by a NUL) to whether the bin is on file.
  std::unordered_map<std::string, bool> known_;
  std::uint64_t undos_ = 0;  // the connection's count of undos when known_ was filled
};

}  // namespace orv
