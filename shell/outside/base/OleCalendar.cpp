#include "shell/outside/base/OleCalendar.h"

namespace orv {
namespace {
// 30/12/1899 counted from 1 March of year 0, where the leap day ends each year of the cycle.
constexpr long kOleEpochDays = 693899;
}  // namespace

long OleCalendar::DaysFromCivil(long year, long month, long day) {
  year -= month <= 2 ? 1 : 0;
  long era = (year >= 0 ? year : year - 399) / 400;
  long year_of_era = year - era * 400;
  long day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - kOleEpochDays;
}

OleCalendar::Civil OleCalendar::CivilFromDays(long days) {
  days += kOleEpochDays;
  long era = (days >= 0 ? days : days - 146096) / 146097;
  long day_of_era = days - era * 146097;
  long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  long mp = (5 * day_of_year + 2) / 153;
  long day = day_of_year - (153 * mp + 2) / 5 + 1;
  long month = mp < 10 ? mp + 3 : mp - 9;
  return {year_of_era + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

}  // namespace orv
