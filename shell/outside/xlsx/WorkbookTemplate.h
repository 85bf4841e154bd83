#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "shell/outside/xlsx/RangeDefinition.h"
#include "shell/outside/xlsx/RangeGroup.h"

namespace orv {

// A new, empty stock workbook laid out for a component's ranges: the header-cell ranges (layout
// 0) at the top, each with its label beside it, then a frozen heading row with one column per
// column range (its Heading), then the data rows. Every range is a workbook-level defined name.
class WorkbookTemplate {
 public:
  struct Options {
    std::int32_t rows = 500;
    std::string sheet_name = "Stock";
    // Recorded as the owning component when not empty (as AddRanges records it).
    std::string owner_prog_id;
    bool replace_existing = false;
  };

  // The ranges picked by range name or group key (case-insensitive), in catalogue order; all of
  // them when `picks` is empty. AppError for a pick that is neither.
  static std::vector<RangeDefinition> Select(
      const std::vector<std::unique_ptr<RangeDefinition>>& catalogue,
      const std::vector<std::string>& picks);
  // The catalogue as text: each group with its ranges' names, headings, types and lengths.
  static std::string Listing(const std::vector<RangeGroup>& groups,
                             const std::vector<std::unique_ptr<RangeDefinition>>& catalogue);
  // Writes the workbook (atomically). AppError when the file exists and may not be replaced.
  static void Create(const std::filesystem::path& path, const std::vector<RangeDefinition>& ranges,
                     const Options& options);
};

}  // namespace orv
