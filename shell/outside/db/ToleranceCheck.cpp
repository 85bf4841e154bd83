#include "shell/outside/db/ToleranceCheck.h"

#include <cctype>
#include <string>

#include "shell/outside/base/AppError.h"

namespace orv {

void ToleranceCheck::Check(std::string_view tolerance) {
  std::string_view text = tolerance;
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  const bool percent = !text.empty() && text.back() == '%';
  if (percent) text.remove_suffix(1);
  int digits = 0, decimals = 0, points = 0;
  double value = 0, scale = 1;
  bool ok = !text.empty();
  for (char c : text) {
    if (c == '.') {
      ok = ok && ++points == 1;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      ++digits;
      if (points) {
        ++decimals;
        scale /= 10;
        value += (c - '0') * scale;
      } else {
        value = value * 10 + (c - '0');
      }
    } else {
      ok = false;
    }
  }
  ok = ok && digits > 0 && decimals <= 4 && !(percent && value > 100);
  if (!ok)
    throw AppError(vbObjectError + 5074, "",
                   "Invalid tolerance \"" + std::string(tolerance) +
                       "\" - must be a quantity or a percentage up to 100%, such as 5 or 2.5%");
}

}  // namespace orv
