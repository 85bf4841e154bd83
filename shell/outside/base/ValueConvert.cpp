#include "shell/outside/base/ValueConvert.h"

#include "shell/outside/base/AppError.h"

namespace orv {

std::string ValueConvert::NullToText(const Variant& value) {
  return value.IsNull() || value.IsEmpty() ? std::string() : value.ToText();
}

double ValueConvert::Number(const Variant& value) {
  try {
    return value.ToDouble();
  } catch (const AppError&) {
    return 0;
  }
}

std::string ValueConvert::NumberText(const Variant& value) {
  return Variant(Number(value)).ToText();
}

OleDate ValueConvert::Date(const Variant& value) {
  try {
    return value.ToDate();
  } catch (const AppError&) {
    return OleDate{};
  }
}

std::string ValueConvert::Trim(std::string_view text) {
  auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool ValueConvert::IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string ValueConvert::Quote(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

}  // namespace orv
