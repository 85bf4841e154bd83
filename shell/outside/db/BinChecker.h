#pragma once

#include <memory>
#include <string>

#include "shell/outside/base/Event.h"
#include "shell/outside/db/PreparedStatement.h"

namespace orv {

class DataConnection;

// Checks a bin of a warehouse against the bin table. A missing bin is put to the owner through
// BinMissing(warehouse, bin, create, accept), both answers false on entry: with `create` the bin
// is added (status "A") on the connection, inside whatever transaction is open, so a run that is
// rolled back leaves no bin behind; without `accept` the bin is refused with the object-error
// base + 6500. Statements are prepared once.
class BinChecker {
 public:
  Event<const std::string&, const std::string&, bool&, bool&> BinMissing;

  void SetSageConnection(std::shared_ptr<DataConnection> connection);
  void Check(const std::string& warehouse, const std::string& bin);

 private:
  PreparedStatement read_;
  PreparedStatement insert_;
};

}  // namespace orv
