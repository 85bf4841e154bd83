#include "shell/outside/db/Command.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <regex>
#include <unordered_map>

#include "shell/outside/base/AppError.h"
#include "shell/outside/db/Connection.h"
#include "shell/outside/db/NameHash.h"
#include "shell/outside/db/SociValue.h"
#include "shell/outside/db/SqlMarkers.h"

namespace orv {
namespace {

bool ReturnsRows(const std::string& sql) {
  static const std::regex kQuery(R"(^\s*\(?\s*(select|with|values)\b)", std::regex::icase);
  return std::regex_search(sql, kQuery);
}

OleDate DateFromText(const std::string& text) {
  static const std::regex kIso(
      R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)");
  static const std::regex kDayFirst(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{4})\s*$)");
  std::smatch m;
  std::tm tm{};
  if (std::regex_match(text, m, kIso)) {
    tm.tm_year = std::stoi(m[1]) - 1900;
    tm.tm_mon = std::stoi(m[2]) - 1;
    tm.tm_mday = std::stoi(m[3]);
    if (m[4].matched) {
      tm.tm_hour = std::stoi(m[4]);
      tm.tm_min = std::stoi(m[5]);
      tm.tm_sec = m[6].matched ? std::stoi(m[6]) : 0;
    }
  } else if (std::regex_match(text, m, kDayFirst)) {
    tm.tm_mday = std::stoi(m[1]);
    tm.tm_mon = std::stoi(m[2]) - 1;
    tm.tm_year = std::stoi(m[3]) - 1900;
  } else {
    return Variant(text).ToDate();  // numeric text as a serial, else a type mismatch
  }
  if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_mday > 31)
    throw AppError(VbError::kTypeMismatch, "", "Type mismatch: '" + text + "' is not a date");
  return SociValue::FromTm(tm);
}

struct Slot {
  std::string name;
  Command::ParameterType type;
  int size = 0;
  Variant value = Variant::MakeNull();
  // What the statement is bound to.
  std::string text;
  double number = 0;
  short small = 0;
  std::tm date{};
  soci::indicator indicator = soci::i_null;

  // What Load bound, as the server takes it (see SociValue::ServerText).
  std::optional<std::string> ServerText() const {
    if (indicator == soci::i_null) return std::nullopt;
    switch (type) {
      case Command::ParameterType::Text:
        return std::string(text.c_str());
      case Command::ParameterType::Double:
        return SociValue::ServerText(number);
      case Command::ParameterType::Date:
        return SociValue::ServerText(date);
      case Command::ParameterType::SmallInt:
        return std::to_string(small);
    }
    return std::nullopt;
  }

  void Load() {
    indicator = value.IsNull() || value.IsEmpty() ? soci::i_null : soci::i_ok;
    if (indicator == soci::i_null) return;
    switch (type) {
      case Command::ParameterType::Text:
        text = value.ToText();
        break;
      case Command::ParameterType::Double:
        number = value.ToDouble();
        break;
      case Command::ParameterType::Date:
        date = SociValue::ToTm(value.IsText() ? DateFromText(value.ToText()) : value.ToDate());
        break;
      case Command::ParameterType::SmallInt:
        small = static_cast<short>(value.ToDouble());
        break;
    }
  }
};

}  // namespace

struct Command::Impl {
  std::shared_ptr<Connection> connection;
  std::string sql;
  std::deque<Slot> slots;
  // Parameter names to their slot: records set ~190 parameters a row.
  std::unordered_map<std::string, std::size_t, NameHash, NameEqual> by_name;
  // The prepared statement and the session it was prepared on.
  std::shared_ptr<soci::session> session;
  std::unique_ptr<soci::row> row;
  std::unique_ptr<soci::statement> statement;
  bool returns_rows = false;
  long long affected = 0;
  // The result's column names, made on the first execution of the prepared statement.
  std::shared_ptr<const Recordset::Columns> columns;

  void Unprepare() {
    columns.reset();
    statement.reset();
    row.reset();
    session.reset();
  }

  std::size_t IndexOf(std::string_view name) const {
    if (auto found = by_name.find(name); found != by_name.end()) return found->second;
    throw AppError(-2146825023, "",
                   "Item cannot be found in the collection corresponding to the requested name "
                   "or ordinal: parameter " +
                       std::string(name));
  }
  Slot& Find(std::string_view name) { return slots[IndexOf(name)]; }

  void PrepareOn(const std::shared_ptr<soci::session>& current) {
    Unprepare();
    int markers = 0;
    std::string text = SqlMarkers::ToNamed(sql, markers);
    if (markers != static_cast<int>(slots.size()))
      throw AppError(kUnexpectedError, "",
                     "The statement has " + std::to_string(markers) + " markers but " +
                         std::to_string(slots.size()) + " parameters are declared");
    returns_rows = ReturnsRows(sql);
    try {
      auto prepared = std::make_unique<soci::statement>(*current);
      int n = 0;
      for (auto& slot : slots) {
        std::string marker = SqlMarkers::MarkerName(++n);
        switch (slot.type) {
          case ParameterType::Text:
            prepared->exchange(soci::use(slot.text, slot.indicator, marker));
            break;
          case ParameterType::Double:
            prepared->exchange(soci::use(slot.number, slot.indicator, marker));
            break;
          case ParameterType::Date:
            prepared->exchange(soci::use(slot.date, slot.indicator, marker));
            break;
          case ParameterType::SmallInt:
            prepared->exchange(soci::use(slot.small, slot.indicator, marker));
            break;
        }
      }
      auto fetched = std::make_unique<soci::row>();
      if (returns_rows) prepared->exchange(soci::into(*fetched));
      prepared->alloc();
      prepared->prepare(text);
      prepared->define_and_bind();
      statement = std::move(prepared);
      row = std::move(fetched);
      session = current;
    } catch (const std::exception& error) {
      Unprepare();
      throw AppError(kUnexpectedError, "", SociValue::Message(error));
    }
  }

  void EnsurePrepared() {
    if (!connection) throw AppError(kUnexpectedError, "", "The command has no active connection");
    auto current = connection->Session();
    if (!statement || session != current) PrepareOn(current);
  }
};

Command::Command() : impl_(std::make_unique<Impl>()) {}
Command::~Command() = default;
Command::Command(Command&&) noexcept = default;
Command& Command::operator=(Command&&) noexcept = default;

void Command::SetActiveConnection(std::shared_ptr<Connection> connection) {
  if (connection != impl_->connection) impl_->Unprepare();
  impl_->connection = std::move(connection);
}

const std::shared_ptr<Connection>& Command::ActiveConnection() const { return impl_->connection; }

void Command::SetCommandText(std::string sql) {
  impl_->Unprepare();
  impl_->sql = std::move(sql);
  impl_->returns_rows = ReturnsRows(impl_->sql);
}

const std::string& Command::CommandText() const { return impl_->sql; }

void Command::AppendParameter(std::string name, ParameterType type, int size) {
  if (!impl_->by_name.emplace(name, impl_->slots.size()).second)
    throw AppError(kUnexpectedError, "", "The parameter " + name + " is declared twice");
  impl_->Unprepare();
  Slot& slot = impl_->slots.emplace_back();
  slot.name = std::move(name);
  slot.type = type;
  slot.size = size;
}

std::size_t Command::ParameterCount() const { return impl_->slots.size(); }

Command::ParameterType Command::TypeOf(std::string_view name) const {
  return impl_->Find(name).type;
}

int Command::SizeOf(std::string_view name) const { return impl_->Find(name).size; }

std::size_t Command::ParameterIndex(std::string_view name) const { return impl_->IndexOf(name); }

void Command::SetParameter(std::string_view name, const Variant& value) {
  SetParameter(impl_->IndexOf(name), value);
}

void Command::SetParameter(std::size_t index, const Variant& value) {
  if (index >= impl_->slots.size())
    throw AppError(-2146825023, "", "No parameter number " + std::to_string(index));
  Slot& slot = impl_->slots[index];
  Variant converted = value;
  if (!value.IsNull() && !value.IsEmpty()) {
    switch (slot.type) {
      case ParameterType::Text:
        converted = Variant(value.ToText());
        break;
      case ParameterType::Double:
        converted = Variant(value.ToDouble());
        break;
      case ParameterType::Date:
        converted = Variant(value.IsText() ? DateFromText(value.ToText()) : value.ToDate());
        break;
      case ParameterType::SmallInt: {
        double number = std::nearbyint(value.ToDouble());
        if (!(number >= -32768 && number <= 32767))
          throw AppError(
              VbError::kOverflow, "",
              "Overflow: " + value.ToText() + " does not fit the 16-bit parameter " + slot.name);
        converted = Variant(static_cast<std::int32_t>(number));
        break;
      }
    }
  }
  slot.value = std::move(converted);
}

Variant Command::Parameter(std::string_view name) const { return impl_->Find(name).value; }

Recordset Command::Execute() {
  Impl& impl = *impl_;
  if (!impl.connection)
    throw AppError(kUnexpectedError, "", "The command has no active connection");
  // Everything that may fail comes before the statement is prepared: SOCI's SQLite back end
  // crashes destroying a statement with date parameters that was prepared and never run.
  for (auto& slot : impl.slots) slot.Load();
  impl.connection->BeforeStatement(!impl.returns_rows);
  if (!impl.returns_rows && impl.connection->SendsWritesAhead()) {
    std::vector<std::optional<std::string>> texts;
    texts.reserve(impl.slots.size());
    for (const auto& slot : impl.slots) texts.push_back(slot.ServerText());
    impl.connection->SendWriteAhead(impl.sql, texts);
    impl.affected = -1;
    return Recordset();
  }
  impl.EnsurePrepared();
  try {
    if (!impl.returns_rows) {
      impl.statement->execute(true);
      impl.affected = impl.statement->get_affected_rows();
      return Recordset();
    }
    bool got = impl.statement->execute(true);
    if (!impl.columns) {
      std::vector<std::string> names;
      for (std::size_t i = 0; i < impl.row->size(); ++i)
        names.push_back(impl.row->get_properties(i).get_name());
      impl.columns = Recordset::MakeColumns(std::move(names));
    }
    std::vector<Recordset::Row> rows;
    while (got) {
      Recordset::Row values;
      for (std::size_t i = 0; i < impl.row->size(); ++i)
        values.push_back(SociValue::FromRow(*impl.row, i));
      rows.push_back(std::move(values));
      got = impl.statement->fetch();
    }
    impl.affected = static_cast<long long>(rows.size());
    return Recordset::FromRows(impl.columns, std::move(rows));
  } catch (const std::exception& error) {
    // A failed statement may be left half-run; prepare it afresh next time.
    impl.Unprepare();
    throw AppError(kUnexpectedError, "", SociValue::Message(error));
  }
}

long long Command::RecordsAffected() const { return impl_->affected; }

}  // namespace orv
