#include "shell/outside/db/PreparedStatement.h"

#include "shell/outside/db/DataConnection.h"

namespace orv {

void PreparedStatement::SetActiveConnection(std::shared_ptr<DataConnection> connection) {
  command_.SetActiveConnection(connection ? connection->AdoConnection() : nullptr);
  connection_ = std::move(connection);
}

void PreparedStatement::AddTextParameter(std::string name, std::int16_t size) {
  command_.AppendParameter(std::move(name), Command::ParameterType::Text, size);
}

void PreparedStatement::AddDoubleParameter(std::string name) {
  command_.AppendParameter(std::move(name), Command::ParameterType::Double);
}

void PreparedStatement::AddDateParameter(std::string name) {
  command_.AppendParameter(std::move(name), Command::ParameterType::Date);
}

void PreparedStatement::AddIntegerParameter(std::string name) {
  command_.AppendParameter(std::move(name), Command::ParameterType::SmallInt);
}

void PreparedStatement::SetTextParameter(std::string_view name, std::string_view value) {
  command_.SetParameter(name, Variant(std::string(value)));
}

void PreparedStatement::SetDoubleParameter(std::string_view name, double value) {
  command_.SetParameter(name, Variant(value));
}

void PreparedStatement::SetDateParameter(std::string_view name, OleDate value) {
  command_.SetParameter(name, Variant(value));
}

void PreparedStatement::SetIntegerParameter(std::string_view name, std::int16_t value) {
  command_.SetParameter(name, Variant(static_cast<std::int32_t>(value)));
}

void PreparedStatement::SetNullParameter(std::string_view name) {
  command_.SetParameter(name, Variant::MakeNull());
}

}  // namespace orv
