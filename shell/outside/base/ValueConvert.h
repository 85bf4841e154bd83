#pragma once

#include <string>
#include <string_view>

#include "shell/outside/base/Variant.h"

namespace orv {

// The conversions every reader of a database field uses.
class ValueConvert {
 public:
  // A database null (or an empty value) gives "", anything else its text.
  static std::string NullToText(const Variant& value);
  // The numeric text of a field: Null and non-numeric text give "0".
  static std::string NumberText(const Variant& value);
  // The number of a field: Null and non-numeric text give 0.
  static double Number(const Variant& value);
  // The date of a field: Null, empty and unreadable values give the date 0.
  static OleDate Date(const Variant& value);
  // The text without leading and trailing blanks.
  static std::string Trim(std::string_view text);
  // True when the text is empty or only blanks.
  static bool IsBlank(std::string_view text);
  // The text as an SQL literal: between apostrophes, each apostrophe doubled.
  static std::string Quote(std::string_view text);
};

}  // namespace orv
