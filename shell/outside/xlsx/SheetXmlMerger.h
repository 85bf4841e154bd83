#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "shell/outside/xlsx/SheetCells.h"
#include "shell/outside/xlsx/SheetView.h"
#include "shell/outside/xlsx/ZipArchive.h"

namespace orv {

// Writes a sheet's XML with the changed cells of `cells` merged in, streaming: everything else is
// copied as it stands. Changed cells keep their style; a changed string is written inline, so the
// shared strings part stays as it was.
class SheetXmlMerger {
 public:
  struct Changes {
    const SheetCells* cells = nullptr;
    // Whether cell style s shows dates.
    std::function<bool(std::uint32_t)> is_date_style;
    // The style to give a date written into a cell that does not show dates (created on demand).
    std::function<std::uint32_t()> date_style;
    // The saved view to write, nullptr to leave the view as it is.
    const SheetView* view = nullptr;
    // The new used area ("A1:F500"), empty to leave it.
    std::string dimension;
    // Set when a changed cell held a formula (the calculation chain then names a cell that has
    // none).
    bool* formula_replaced = nullptr;
  };

  // Receives the new sheet's bytes in order, in chunks of about a megabyte.
  using Sink = std::function<void(std::string&&)>;
  static void Merge(ZipArchive::Reader& original, const std::string& label, const Changes& changes,
                    const Sink& out);
};

}  // namespace orv
