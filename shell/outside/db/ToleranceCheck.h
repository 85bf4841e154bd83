#pragma once

#include <string_view>

namespace orv {

// The check of a delivery or call-off quantity tolerance. A tolerance is a quantity or a
// percentage: digits with at most one decimal point and at most four decimals ("5", "12.5"),
// optionally followed by "%" ("5%", "2.5%"), with blanks around it allowed. A percentage may not
// exceed 100. Anything else (a sign, letters, "5%%", "150%") fails with the object-error base +
// 5074 and a message that quotes the text.
class ToleranceCheck {
 public:
  static void Check(std::string_view tolerance);
};

}  // namespace orv
