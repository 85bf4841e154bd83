#pragma once

#include <memory>
#include <string>

#include "shell/outside/db/PreparedStatement.h"

namespace orv {

class DataConnection;

// The product group look-up: ReadIt finds `product_group` in the product group table or fails
// with the object-error base and "Cannont Find Product Group<code>". Prepared once.
class clsOrvStkpgM {
 public:
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  std::string product_group;

  void ReadIt();

 private:
  PreparedStatement statement_;
};

}  // namespace orv
