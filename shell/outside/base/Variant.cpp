#include "shell/outside/base/Variant.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>

#include "shell/outside/base/AppError.h"
#include "shell/outside/base/OleCalendar.h"

namespace orv {
namespace {

// The day of an OLE date; its fraction (the time of day) counts away from day 0.
std::string DateText(OleDate date) {
  auto civil = OleCalendar::CivilFromDays(static_cast<long>(std::trunc(date.serial)));
  return fmt::format("{:02}/{:02}/{:04}", civil.day, civil.month, civil.year);
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
        throw AppError(VbError::kTypeMismatch, "", "Type mismatch: '" + text + "' is not a number");
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
  throw AppError(VbError::kTypeMismatch, "", "Type mismatch: '" + ToText() + "' is not a date");
}

}  // namespace orv
