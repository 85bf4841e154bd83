#include "shell/outside/SociValue.h"

#include <cmath>
#include <limits>

#include "shell/outside/DatabaseTarget.h"
#include "shell/outside/SqlMarkers.h"

namespace orv {
namespace {

constexpr long kOleEpochDays = 693899;  // 30/12/1899 counted from 1 March of year 0

long DaysFromCivil(long year, long month, long day) {
  year -= month <= 2;
  long era = (year >= 0 ? year : year - 399) / 400;
  long year_of_era = year - era * 400;
  long day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era;
}

}  // namespace

std::tm SociValue::ToTm(OleDate date) {
  double whole = std::trunc(date.serial);
  long seconds = std::lround(std::fabs(date.serial - whole) * 86400.0);
  long days = static_cast<long>(whole) + kOleEpochDays;
  if (seconds >= 86400) {
    days += 1;
    seconds -= 86400;
  }
  long era = (days >= 0 ? days : days - 146096) / 146097;
  long day_of_era = days - era * 146097;
  long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  long mp = (5 * day_of_year + 2) / 153;
  long day = day_of_year - (153 * mp + 2) / 5 + 1;
  long month = mp < 10 ? mp + 3 : mp - 9;
  long year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
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
  long days = DaysFromCivil(tm.tm_year + 1900L, tm.tm_mon + 1L, tm.tm_mday) - kOleEpochDays;
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
