#include "shell/outside/xlsx/CellDates.h"

#include <cctype>

#include "shell/outside/base/OleCalendar.h"

namespace orv {
namespace {

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Digits at `position`, advancing it; -1 when there are none.
int Digits(std::string_view text, std::size_t& position, std::size_t& count) {
  count = 0;
  int value = 0;
  while (position < text.size() && std::isdigit(static_cast<unsigned char>(text[position])) &&
         count < 6) {
    value = value * 10 + (text[position] - '0');
    ++position;
    ++count;
  }
  return count == 0 ? -1 : value;
}

}  // namespace

OleDate CellDates::FromCivil(int year, int month, int day) {
  return OleDate{static_cast<double>(OleCalendar::DaysFromCivil(year, month, day))};
}

OleDate CellDates::FromSerial(double serial, bool date1904) {
  if (date1904) return OleDate{serial + 1462};
  return OleDate{serial < 60 ? serial + 1 : serial};
}

double CellDates::ToSerial(OleDate date, bool date1904) {
  if (date1904) return date.serial - 1462;
  return date.serial < 61 ? date.serial - 1 : date.serial;
}

std::optional<OleDate> CellDates::ParseText(std::string_view text, std::string& problem) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  std::size_t position = 0, n1 = 0, n2 = 0, n3 = 0;
  int first = Digits(text, position, n1);
  if (first < 0 || position >= text.size() || (text[position] != '/' && text[position] != '-')) {
    problem = "is not a date (dd/mm/yyyy or yyyy-mm-dd)";
    return std::nullopt;
  }
  char separator = text[position++];
  int second = Digits(text, position, n2);
  if (second < 0 || position >= text.size() || text[position] != separator) {
    problem = "is not a date (dd/mm/yyyy or yyyy-mm-dd)";
    return std::nullopt;
  }
  ++position;
  int third = Digits(text, position, n3);
  if (third < 0) {
    problem = "is not a date (dd/mm/yyyy or yyyy-mm-dd)";
    return std::nullopt;
  }
  int year, month, day;
  if (separator == '-' && n1 == 4 && n2 <= 2 && n3 <= 2) {
    year = first, month = second, day = third;
  } else if (separator == '/' && n1 <= 2 && n2 <= 2 && n3 == 4) {
    day = first, month = second, year = third;
  } else if (separator == '/' && n1 <= 2 && n2 <= 2 && n3 <= 2) {
    problem = "has a two-digit year; write the year in full (dd/mm/yyyy)";
    return std::nullopt;
  } else {
    problem = "is not a date (dd/mm/yyyy or yyyy-mm-dd)";
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || year < 100) {
    problem = "is not a valid date";
    return std::nullopt;
  }
  double fraction = 0;
  if (position < text.size()) {
    if (text[position] != 'T' && text[position] != ' ') {
      problem = "is not a date (dd/mm/yyyy or yyyy-mm-dd)";
      return std::nullopt;
    }
    ++position;
    std::size_t c1 = 0, c2 = 0, c3 = 0;
    int hour = Digits(text, position, c1);
    int minute = (position < text.size() && text[position] == ':')
                     ? (++position, Digits(text, position, c2))
                     : -1;
    int second_of_minute = 0;
    if (position < text.size() && text[position] == ':') {
      ++position;
      second_of_minute = Digits(text, position, c3);
      if (position < text.size() && text[position] == '.') {
        ++position;
        while (position < text.size() && std::isdigit(static_cast<unsigned char>(text[position])))
          ++position;
      }
    }
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second_of_minute < 0 ||
        second_of_minute > 59 || position != text.size()) {
      problem = "has a time that cannot be read";
      return std::nullopt;
    }
    fraction = (hour * 3600 + minute * 60 + second_of_minute) / 86400.0;
  }
  auto date = FromCivil(year, month, day);
  date.serial += fraction;
  return date;
}

}  // namespace orv
