#pragma once

#include <string>

#include "shell/outside/base/AppError.h"

namespace orv {

// The error numbers of the workbook layer.
inline constexpr std::int32_t kWorkbookFileError = vbObjectError + 6000;
inline constexpr std::int32_t kCellConversionError = vbObjectError + 6001;
// A row that is not a row of the range (below 1, or beyond a range that cannot grow).
inline constexpr std::int32_t kRangeRowError = vbObjectError + 6002;
// ClearRanges without the confirmation flag set.
inline constexpr std::int32_t kClearNotConfirmed = vbObjectError + 6003;

// A workbook that cannot be read or written: the description names the file (or the file and
// part) and what is wrong with it.
class WorkbookError : public AppError {
 public:
  WorkbookError(const std::string& where, const std::string& problem)
      : AppError(kWorkbookFileError, "", where + ": " + problem) {}
};

}  // namespace orv
