#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace orv {

// A date as the host and the database layer exchange it: days since 30 December 1899, the
// fraction being the time of day.
struct OleDate {
  double serial = 0;
  friend bool operator==(const OleDate&, const OleDate&) = default;
};

// A value as cells and database fields carry it. Empty is "never set"; Null is the database null.
class Variant {
 public:
  struct Empty {
    friend bool operator==(const Empty&, const Empty&) = default;
  };
  struct Null {
    friend bool operator==(const Null&, const Null&) = default;
  };
  using Storage = std::variant<Empty, Null, std::string, double, std::int32_t, bool, OleDate>;

  Variant() = default;
  Variant(Null null) : value_(null) {}
  Variant(std::string text) : value_(std::move(text)) {}
  Variant(const char* text) : value_(std::string(text)) {}
  Variant(double number) : value_(number) {}
  Variant(std::int32_t number) : value_(number) {}
  Variant(bool flag) : value_(flag) {}
  Variant(OleDate date) : value_(date) {}

  static Variant MakeNull() { return Variant(Null{}); }

  bool IsEmpty() const { return std::holds_alternative<Empty>(value_); }
  bool IsNull() const { return std::holds_alternative<Null>(value_); }
  bool IsText() const { return std::holds_alternative<std::string>(value_); }
  bool IsDate() const { return std::holds_alternative<OleDate>(value_); }
  bool IsNumeric() const {
    return std::holds_alternative<double>(value_) || std::holds_alternative<std::int32_t>(value_) ||
           std::holds_alternative<bool>(value_);
  }

  const Storage& Value() const { return value_; }

  // The text of the value: empty for Empty and Null, numbers in their shortest decimal form, dates
  // as dd/mm/yyyy, booleans as "True"/"False".
  std::string ToText() const;
  // The numeric value: 0 for Empty and Null; text must hold a number, otherwise AppError.
  double ToDouble() const;
  // The date value: a date, or a number taken as a serial; anything else is an AppError.
  OleDate ToDate() const;

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  Storage value_;
};

}  // namespace orv
