#pragma once

#include <map>
#include <memory>
#include <string>

#include "shell/outside/db/PreparedStatement.h"

namespace orv {

class DataConnection;
class Recordset;

// A purchase user (buyer). ReadBId loads the row of `id` or fails with the object-error base +
// 5068 and " Buyer id <id> not found"; ValidBIdLite is the upload's check: the id trimmed, then
// read. The id is bound as a parameter, never placed in the statement text.
class clsPoUserM {
 public:
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  std::string id;
  // The "allow_buyer" column of the row read: "N" for a user who may not buy.
  const std::string& AllowBuyer() const { return allow_buyer_; }
  // Every column of the row read, by lower-case name.
  const std::map<std::string, std::string>& Columns() const { return columns_; }

  void ReadBId();
  void ValidBIdLite();
  // Takes every column of the current row of `record`.
  void CopyFrom(const Recordset& record);

 private:
  PreparedStatement statement_;
  std::string allow_buyer_;
  std::map<std::string, std::string> columns_;
};

}  // namespace orv
