#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "shell/outside/base/Variant.h"
#include "shell/outside/db/Command.h"

namespace orv {

class DataConnection;

// One parameterised statement of a record object, built once and executed many times: set the
// connection, the SQL with "?" markers and the parameters in marker order, then put Prepared;
// later calls only set values and execute the Command.
class PreparedStatement {
 public:
  PreparedStatement() = default;

  const std::shared_ptr<DataConnection>& ActiveConnection() const { return connection_; }
  // Also points the command at the connection; the text and parameters stay.
  void SetActiveConnection(std::shared_ptr<DataConnection> connection);

  void SetSQL(std::string sql) { command_.SetCommandText(std::move(sql)); }
  const std::string& SQL() const { return command_.CommandText(); }
  bool Prepared() const { return prepared_; }
  void SetPrepared(bool prepared) { prepared_ = prepared; }

  void AddTextParameter(std::string name, std::int16_t size);
  void AddDoubleParameter(std::string name);
  void AddDateParameter(std::string name);
  void AddIntegerParameter(std::string name);

  void SetTextParameter(std::string_view name, std::string_view value);
  void SetDoubleParameter(std::string_view name, double value);
  void SetDateParameter(std::string_view name, OleDate value);
  void SetIntegerParameter(std::string_view name, std::int16_t value);
  // Binds the database null.
  void SetNullParameter(std::string_view name);

  // The wrapped command, with the text and the declared parameters, ready for Execute.
  Command& GetCommand() { return command_; }

 private:
  std::shared_ptr<DataConnection> connection_;
  Command command_;
  bool prepared_ = false;
};

}  // namespace orv
