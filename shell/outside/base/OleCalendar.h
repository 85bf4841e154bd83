#pragma once

namespace orv {

// The proleptic Gregorian calendar counted in OLE days: day 0 is 30/12/1899.
class OleCalendar {
 public:
  struct Civil {
    long year;
    long month;
    long day;
  };

  static long DaysFromCivil(long year, long month, long day);
  static Civil CivilFromDays(long days);
};

}  // namespace orv
