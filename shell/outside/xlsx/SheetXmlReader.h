#pragma once

#include <vector>

#include "shell/outside/base/StringPool.h"
#include "shell/outside/xlsx/SheetCells.h"
#include "shell/outside/xlsx/SheetView.h"
#include "shell/outside/xlsx/ZipArchive.h"

namespace orv {

// Reads the large parts of a workbook as a stream (libxml2's reader): a DOM of a sheet with a
// hundred thousand rows would take gigabytes.
class SheetXmlReader {
 public:
  // The shared strings part into `strings`, one entry per <si>.
  static void ReadSharedStrings(ZipArchive::Reader& part, const std::string& label,
                                StringPool& strings);
  // The cells of a sheet into `cells`, its saved view into `view`. `date_styles[s]` tells whether
  // cell style s shows a date.
  static void ReadSheet(ZipArchive::Reader& part, const std::string& label,
                        const std::vector<bool>& date_styles, SheetCells& cells, SheetView& view);
};

}  // namespace orv
