#include "shell/outside/db/SociValue.h"

#include <cmath>
#include <limits>

#include "shell/outside/base/OleCalendar.h"
#include "shell/outside/db/DatabaseTarget.h"
#include "shell/outside/db/SqlMarkers.h"

namespace orv {
namespace {}  // namespace

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
  return OleDate{days >= 0 ? days + fraction : days - fraction};
}

Variant SociValue::FromRow(const soci::row& row, std::size_t i) {
  if (row.get_indicator(i) == soci::i_null) return Variant::MakeNull();
  switch (row.get_properties(i).get_data_type()) {
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

void SociValue::BindAll(soci::statement& statement, std::deque<BoundValue>& slots,
                        const std::vector<Variant>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    auto& slot = slots.emplace_back();
    const Variant& value = values[i];
    std::string name = SqlMarkers::MarkerName(static_cast<int>(i) + 1);
    if (value.IsNull() || value.IsEmpty()) {
      slot.indicator = soci::i_null;
      statement.exchange(soci::use(slot.text, slot.indicator, name));
    } else if (value.IsDate()) {
      slot.date = ToTm(value.ToDate());
      statement.exchange(soci::use(slot.date, slot.indicator, name));
    } else if (std::holds_alternative<std::int32_t>(value.Value())) {
      slot.integer = std::get<std::int32_t>(value.Value());
      statement.exchange(soci::use(slot.integer, slot.indicator, name));
    } else if (value.IsNumeric()) {
      slot.number = value.ToDouble();
      statement.exchange(soci::use(slot.number, slot.indicator, name));
    } else {
      slot.text = value.ToText();
      statement.exchange(soci::use(slot.text, slot.indicator, name));
    }
  }
}

std::string SociValue::Message(const std::exception& error) {
  std::string text = DatabaseTarget::ScrubPasswords(error.what());
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace orv
