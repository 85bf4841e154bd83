#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "shell/outside/base/Variant.h"
#include "shell/outside/db/Recordset.h"

namespace orv {

class Connection;

// A parameterised statement in the manner of ADO's Command. Parameters are declared in the order
// of the statement's "?" markers, are addressed by name (case-insensitively) and keep their
// declared type: a value given to a parameter is converted to that type, and Null is allowed for
// every type. The statement is prepared on first execution and then only re-executed with new
// values; a reopened connection makes it prepare again.
class Command {
 public:
  enum class ParameterType { Text, Double, Date, SmallInt };

  Command();
  ~Command();
  Command(Command&&) noexcept;
  Command& operator=(Command&&) noexcept;

  void SetActiveConnection(std::shared_ptr<Connection> connection);
  const std::shared_ptr<Connection>& ActiveConnection() const;
  void SetCommandText(std::string sql);
  const std::string& CommandText() const;

  // `size` is the declared width of a text parameter (the column width); values are not cut.
  void AppendParameter(std::string name, ParameterType type, int size = 0);
  std::size_t ParameterCount() const;
  ParameterType TypeOf(std::string_view name) const;
  int SizeOf(std::string_view name) const;

  // Converts `value` to the parameter's type: text as is; numbers from numbers or numeric text;
  // dates from dates, serial numbers or "yyyy-mm-dd" / "dd/mm/yyyy" text; 16-bit integers rounded
  // and range-checked. Null (or Empty) binds the database null.
  void SetParameter(std::string_view name, const Variant& value);
  // The same by position (declaration order): a record that sets many parameters a row looks
  // each name up once.
  std::size_t ParameterIndex(std::string_view name) const;
  void SetParameter(std::size_t index, const Variant& value);
  Variant Parameter(std::string_view name) const;

  // Runs the statement, prepared on its first run. A SELECT (or WITH) yields its rows; any other
  // statement an empty, closed recordset and RecordsAffected (-1 for a write the connection sent
  // ahead: see Connection::SetSendWritesAhead).
  Recordset Execute();
  long long RecordsAffected() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orv
