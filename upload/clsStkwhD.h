#pragma once

#include <memory>
#include <string>

#include "shell/outside/db/PreparedStatement.h"

namespace orv {

class DataConnection;

// The warehouse look-up: ReadIt finds `warehouse` in the warehouse table or fails with the
// object-error base + 5000 and "Cannot find warehouse <code>". The statement is prepared once.
class clsStkwhD {
 public:
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  std::string warehouse;
  std::string description;  // of the warehouse found

  void ReadIt();

 private:
  PreparedStatement statement_;
};

}  // namespace orv
