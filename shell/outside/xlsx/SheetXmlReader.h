#pragma once

#include <vector>

#include "shell/outside/base/StringPool.h"
#include "shell/outside/xlsx/SheetCells.h"
#include "shell/outside/xlsx/SheetView.h"
#include "shell/outside/xlsx/ZipArchive.h"

namespace orv {

// Reads the large parts of a workbook as a stream (libxml2's push parser, which checks that the
// part is well-formed XML): a DOM of a sheet with a hundred thousand rows would take gigabytes.
// Memory stays bounded whatever the part holds: the text of one cell or shared string is refused
// beyond kMaxText bytes (a spreadsheet cell holds at most 32,767 characters).
class SheetXmlReader {
 public:
  static constexpr std::size_t kMaxText = std::size_t{1} << 20;

  // The shared strings part into `strings`, one entry per <si>.
  static void ReadSharedStrings(ZipArchive::Reader& part, const std::string& label,
                                StringPool& strings);
  // The cells of a sheet into `cells`, its saved view into `view`; true when the sheet is
  // protected. `date_styles[s]` tells whether cell style s shows a date. A cell that names a
  // shared string the workbook does not have is an error.
  static bool ReadSheet(ZipArchive::Reader& part, const std::string& label,
                        const std::vector<bool>& date_styles, SheetCells& cells, SheetView& view);
};

}  // namespace orv
