#include "shell/outside/db/SociValue.h"

#include <soci/sqlite3/soci-sqlite3.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/OleCalendar.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/db/SqlMarkers.h"

namespace orv {
namespace {

constexpr std::int32_t kTypeMismatch = 13;

}  // namespace

std::tm SociValue::ToTm(OleDate date) {
  double whole = std::trunc(date.serial);
  long seconds = std::lround(std::fabs(date.serial - whole) * 86400.0);
  long days = static_cast<long>(whole);
  if (seconds >= 86400) {
    days += 1;
    seconds -= 86400;
  }
  auto [year, month, day] = OleCalendar::CivilFromDays(days);
  std::tm tm{};
  tm.tm_year = static_cast<int>(year - 1900);
  tm.tm_mon = static_cast<int>(month - 1);
  tm.tm_mday = static_cast<int>(day);
  tm.tm_hour = static_cast<int>(seconds / 3600);
  tm.tm_min = static_cast<int>(seconds / 60 % 60);
  tm.tm_sec = static_cast<int>(seconds % 60);
  return tm;
}

OleDate SociValue::FromTm(const std::tm& tm) {
  long days = OleCalendar::DaysFromCivil(tm.tm_year + 1900L, tm.tm_mon + 1L, tm.tm_mday);
  double fraction = (tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec) / 86400.0;
  const auto whole = static_cast<double>(days);
  return OleDate{days >= 0 ? whole + fraction : whole - fraction};
}

sqlite_api::sqlite3_stmt* SociValue::SqliteStatement(soci::session& session,
                                                     soci::statement& statement) {
  if (session.get_backend_name() != "sqlite3" || statement.get_backend() == nullptr) return nullptr;
  // The library exports no type information for its back-ends: the name tells which it is.
  return static_cast<soci::sqlite3_statement_backend*>(statement.get_backend())->stmt_;
}

Variant SociValue::FromSqlite(sqlite_api::sqlite3_stmt* sqlite, int i, soci::data_type declared,
                              const std::string& column) {
  using namespace sqlite_api;
  int storage = sqlite3_column_type(sqlite, i);
  if (storage == SQLITE_NULL) return Variant::MakeNull();
  std::string text;
  if (storage == SQLITE_TEXT || storage == SQLITE_BLOB) {
    const auto* bytes = storage == SQLITE_TEXT
                            ? sqlite3_column_text(sqlite, i)
                            : static_cast<const unsigned char*>(sqlite3_column_blob(sqlite, i));
    text.assign(reinterpret_cast<const char*>(bytes),
                static_cast<std::size_t>(sqlite3_column_bytes(sqlite, i)));
  }
  auto mismatch = [&](const char* what) {
    std::string shown =
        storage == SQLITE_TEXT || storage == SQLITE_BLOB
            ? "'" + text + "'"
            : std::string(reinterpret_cast<const char*>(sqlite3_column_text(sqlite, i)));
    return AppError(kTypeMismatch, "",
                    "Column \"" + column + "\" holds " + shown + ", which is not " + what);
  };
  switch (declared) {
    case soci::dt_string:
    case soci::dt_xml:
    case soci::dt_blob:
      if (storage == SQLITE_TEXT || storage == SQLITE_BLOB) return Variant(std::move(text));
      return Variant(std::string(reinterpret_cast<const char*>(sqlite3_column_text(sqlite, i))));
    case soci::dt_date: {
      if (storage != SQLITE_TEXT) throw mismatch("a date");
      // yyyy-mm-dd, then optionally hh:mm[:ss[.fff]], as SQLite's date functions write them.
      long parts[6] = {0, 0, 0, 0, 0, 0};
      int count = 0;
      std::size_t at = 0;
      while (at < text.size() && count < 6) {
        auto [next, error] =
            std::from_chars(text.data() + at, text.data() + text.size(), parts[count]);
        if (error != std::errc() || parts[count] < 0) throw mismatch("a date");
        at = static_cast<std::size_t>(next - text.data());
        ++count;
        if (at == text.size()) break;
        char separator = text[at];
        bool expected = count < 3    ? separator == '-'
                        : count == 3 ? separator == ' ' || separator == 'T'
                        : count < 6  ? separator == ':' || (count == 5 && separator == '.')
                                     : false;
        if (!expected) throw mismatch("a date");
        if (count == 5 && separator == '.') break;  // fractions of a second are dropped
        ++at;
      }
      if (count < 3 || count == 4 || (at < text.size() && text[at] != '.'))
        throw mismatch("a date");
      auto civil =
          OleCalendar::CivilFromDays(OleCalendar::DaysFromCivil(parts[0], parts[1], parts[2]));
      if (civil.year != parts[0] || civil.month != parts[1] || civil.day != parts[2] ||
          parts[3] > 23 || parts[4] > 59 || parts[5] > 59)
        throw mismatch("a date");
      std::tm tm{};
      tm.tm_year = static_cast<int>(parts[0] - 1900);
      tm.tm_mon = static_cast<int>(parts[1] - 1);
      tm.tm_mday = static_cast<int>(parts[2]);
      tm.tm_hour = static_cast<int>(parts[3]);
      tm.tm_min = static_cast<int>(parts[4]);
      tm.tm_sec = static_cast<int>(parts[5]);
      return Variant(FromTm(tm));
    }
    default:
      break;
  }
  double number = 0;
  if (storage == SQLITE_INTEGER) {
    auto whole = sqlite3_column_int64(sqlite, i);
    if (declared != soci::dt_double && whole >= std::numeric_limits<std::int32_t>::min() &&
        whole <= std::numeric_limits<std::int32_t>::max())
      return Variant(static_cast<std::int32_t>(whole));
    return Variant(static_cast<double>(whole));
  }
  if (storage == SQLITE_FLOAT) return Variant(sqlite3_column_double(sqlite, i));
  auto first = text.find_first_not_of(" \t");
  auto last = text.find_last_not_of(" \t");
  if (first == std::string::npos) throw mismatch("a number");
  const char* end = text.data() + last + 1;
  auto [next, error] = std::from_chars(text.data() + first, end, number);
  if (error != std::errc() || next != end) throw mismatch("a number");
  return Variant(number);
}

Variant SociValue::FromRow(const soci::row& row, std::size_t i) {
  if (row.get_indicator(i) == soci::i_null) return Variant::MakeNull();
  const auto type = row.get_properties(i).get_data_type();
  switch (type) {
    case soci::dt_string:
    case soci::dt_xml:
    case soci::dt_blob:
      return Variant(row.get<std::string>(i));
    case soci::dt_double:
      return Variant(row.get<double>(i));
    case soci::dt_integer:
      return Variant(static_cast<std::int32_t>(row.get<int>(i)));
    case soci::dt_long_long: {
      long long value = row.get<long long>(i);
      if (value >= std::numeric_limits<std::int32_t>::min() &&
          value <= std::numeric_limits<std::int32_t>::max())
        return Variant(static_cast<std::int32_t>(value));
      return Variant(static_cast<double>(value));
    }
    case soci::dt_unsigned_long_long:
      return Variant(static_cast<double>(row.get<unsigned long long>(i)));
    case soci::dt_date:
      return Variant(FromTm(row.get<std::tm>(i)));
  }
  return Variant(row.get<std::string>(i));
}

namespace {

using BoundKind = SociValue::BoundValue::Kind;

BoundKind KindOf(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return BoundKind::kText;
  if (value.IsDate()) return BoundKind::kDate;
  if (std::holds_alternative<std::int32_t>(value.Value())) return BoundKind::kInteger;
  if (value.IsNumeric()) return BoundKind::kNumber;
  return BoundKind::kText;
}

void Assign(SociValue::BoundValue& slot, const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) {
    slot.indicator = soci::i_null;
    return;
  }
  slot.indicator = soci::i_ok;
  switch (slot.kind) {
    case BoundKind::kDate:
      slot.date = SociValue::ToTm(value.ToDate());
      break;
    case BoundKind::kInteger:
      slot.integer = std::get<std::int32_t>(value.Value());
      break;
    case BoundKind::kNumber:
      slot.number = value.ToDouble();
      break;
    case BoundKind::kText:
      slot.text = value.ToText();
      break;
  }
}

}  // namespace

void SociValue::BindAll(soci::statement& statement, std::deque<BoundValue>& slots,
                        const std::vector<Variant>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    auto& slot = slots.emplace_back();
    const Variant& value = values[i];
    std::string name = SqlMarkers::MarkerName(static_cast<int>(i) + 1);
    slot.kind = KindOf(value);
    Assign(slot, value);
    switch (slot.kind) {
      case BoundKind::kDate:
        statement.exchange(soci::use(slot.date, slot.indicator, name));
        break;
      case BoundKind::kInteger:
        statement.exchange(soci::use(slot.integer, slot.indicator, name));
        break;
      case BoundKind::kNumber:
        statement.exchange(soci::use(slot.number, slot.indicator, name));
        break;
      case BoundKind::kText:
        statement.exchange(soci::use(slot.text, slot.indicator, name));
        break;
    }
  }
}

bool SociValue::Reassign(std::deque<BoundValue>& slots, const std::vector<Variant>& values) {
  if (slots.size() != values.size()) return false;
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!values[i].IsNull() && !values[i].IsEmpty() && KindOf(values[i]) != slots[i].kind)
      return false;
  for (std::size_t i = 0; i < values.size(); ++i) Assign(slots[i], values[i]);
  return true;
}

std::string SociValue::ServerText(double number) {
  char text[32];
  std::snprintf(text, sizeof text, "%.20g", number);
  for (char* c = text; *c; ++c)
    if (*c == ',') *c = '.';
  return text;
}

std::string SociValue::ServerText(const std::tm& date) {
  char text[80];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", date.tm_year + 1900,
                date.tm_mon + 1, date.tm_mday, date.tm_hour, date.tm_min, date.tm_sec);
  return text;
}

std::optional<std::string> SociValue::ServerText(const Variant& value) {
  BoundValue slot;
  slot.kind = KindOf(value);
  Assign(slot, value);
  if (slot.indicator == soci::i_null) return std::nullopt;
  switch (slot.kind) {
    case BoundKind::kDate:
      return ServerText(slot.date);
    case BoundKind::kInteger:
      return std::to_string(slot.integer);
    case BoundKind::kNumber:
      return ServerText(slot.number);
    case BoundKind::kText:
      break;
  }
  // The library sends a C string: a text ends at its first NUL.
  return std::string(slot.text.c_str());
}

std::string SociValue::Message(const std::exception& error) {
  std::string text = DatabaseTarget::ScrubPasswords(error.what());
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace orv
