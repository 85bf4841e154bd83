#include "shell/outside/Variant.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

#include "shell/outside/AppError.h"

namespace orv {
namespace {

// Day, month and year of an OLE date (the proleptic Gregorian calendar, day 0 = 30/12/1899).
std::string DateText(OleDate date) {
  long days = static_cast<long>(std::floor(date.serial)) + 693899;  // days from 1 Mar 0000
  long era = (days >= 0 ? days : days - 146096) / 146097;
  long day_of_era = days - era * 146097;
  long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  long mp = (5 * day_of_year + 2) / 153;
  long day = day_of_year - (153 * mp + 2) / 5 + 1;
  long month = mp < 10 ? mp + 3 : mp - 9;
  long year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  return fmt::format("{:02}/{:02}/{:04}", day, month, year);
}

std::string NumberText(double number) {
  if (std::isfinite(number) && number == std::trunc(number) && std::fabs(number) < 1e15)
    return fmt::format("{}", static_cast<long long>(number));
  return fmt::format("{}", number);
}

}  // namespace

std::string Variant::ToText() const {
  struct Visitor {
    std::string operator()(Empty) const { return {}; }
    std::string operator()(Null) const { return {}; }
    std::string operator()(const std::string& text) const { return text; }
    std::string operator()(double number) const { return NumberText(number); }
    std::string operator()(std::int32_t number) const { return std::to_string(number); }
    std::string operator()(bool flag) const { return flag ? "True" : "False"; }
    std::string operator()(OleDate date) const { return DateText(date); }
  };
  return std::visit(Visitor{}, value_);
}

double Variant::ToDouble() const {
  struct Visitor {
    double operator()(Empty) const { return 0; }
    double operator()(Null) const { return 0; }
    double operator()(const std::string& text) const {
      auto first = text.find_first_not_of(' ');
      auto last = text.find_last_not_of(' ');
      if (first == std::string::npos) return 0;
      double number = 0;
      auto begin = text.data() + first;
      auto end = text.data() + last + 1;
      auto [next, error] = std::from_chars(begin, end, number);
      if (error != std::errc() || next != end)
        throw AppError(13, "", "Type mismatch: '" + text + "' is not a number");
      return number;
    }
    double operator()(double number) const { return number; }
    double operator()(std::int32_t number) const { return number; }
    double operator()(bool flag) const { return flag ? -1 : 0; }
    double operator()(OleDate date) const { return date.serial; }
  };
  return std::visit(Visitor{}, value_);
}

OleDate Variant::ToDate() const {
  if (auto date = std::get_if<OleDate>(&value_)) return *date;
  if (IsEmpty() || IsNull()) return OleDate{};
  if (IsNumeric()) return OleDate{ToDouble()};
  throw AppError(13, "", "Type mismatch: '" + ToText() + "' is not a date");
}

}  // namespace orv
