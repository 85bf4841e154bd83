#include "records/RecordColumns.h"

#include "shell/outside/db/Command.h"

namespace orv {

std::string RecordColumns::Joined(std::span<const RecordColumn> columns, std::string_view separator,
                                  std::string_view suffix) {
  std::string text;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i) text += separator;
    text += columns[i].name;
    text += suffix;
  }
  return text;
}

std::string RecordColumns::Markers(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += i ? ",?" : "?";
  return text;
}

void RecordColumns::Declare(Command& command, std::span<const RecordColumn> columns) {
  for (const auto& column : columns) {
    switch (column.kind) {
      case ColumnKind::Text:
        command.AppendParameter(std::string(column.name), Command::ParameterType::Text,
                                column.size);
        break;
      case ColumnKind::Double:
        command.AppendParameter(std::string(column.name), Command::ParameterType::Double);
        break;
      case ColumnKind::Date:
        command.AppendParameter(std::string(column.name), Command::ParameterType::Date);
        break;
      case ColumnKind::SmallInt:
        command.AppendParameter(std::string(column.name), Command::ParameterType::SmallInt);
        break;
    }
  }
}

}  // namespace orv
