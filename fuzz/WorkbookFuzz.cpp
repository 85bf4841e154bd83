// The fuzz entry for opening a workbook and reading every named range, as a download or an
// upload reads them. libFuzzer calls it (scripts/fuzz); workbook_fuzz_replay runs it over the
// committed corpus in every build.
//
// An input is either a workbook file as it stands (it starts "PK"), or the parts of one, each
// introduced by a line "--- <part name>", which are packed into a zip first: mutations then reach
// the XML of the parts instead of breaking the zip's checksums.

#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ranges/clsOrvStockRanges.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "shell/outside/xlsx/ZipArchive.h"

namespace {

// Cells read from each range at most: a name may cover a whole sheet.
constexpr std::uint32_t kCellsPerRange = 256;

// The workbook's file: one per process, rewritten for each input.
const std::filesystem::path& WorkbookPath() {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("orvstock-fuzz-" + std::to_string(::getpid()) + ".xlsx");
  return path;
}

// The parts of a "--- name" input, zipped (stored, not compressed) into `path`.
bool PackParts(std::string_view input, const std::filesystem::path& path) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) return false;
  constexpr std::string_view kMarker = "--- ";
  std::size_t at = 0;
  while (at < input.size() && input.compare(at, kMarker.size(), kMarker) == 0) {
    std::size_t name_end = input.find('\n', at);
    if (name_end == std::string_view::npos) break;
    std::string name(input.substr(at + kMarker.size(), name_end - at - kMarker.size()));
    std::size_t next = input.find("\n--- ", name_end);
    std::string_view content = input.substr(
        name_end + 1, (next == std::string_view::npos ? input.size() : next) - name_end - 1);
    at = next == std::string_view::npos ? input.size() : next + 1;
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    if (!source) continue;
    zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(source);
      continue;
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  // The buffers are read when the archive is written, here.
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    return false;
  }
  return true;
}

void ReadEverything(const std::shared_ptr<orv::Workbook>& workbook) {
  // Every defined name, cell by cell.
  for (const auto& defined : workbook->Names()) {
    try {
      auto range = workbook->NamedRange(defined.name);
      if (!range) continue;
      std::uint32_t cells = 0;
      for (std::uint32_t row = 1; row <= range->RowCount() && cells < kCellsPerRange; ++row)
        for (std::uint32_t column = 1; column <= range->ColumnCount() && cells < kCellsPerRange;
             ++column, ++cells) {
          auto cell = range->Cells(row, column);
          (void)cell.Value();
          (void)cell.Text();
        }
    } catch (const orv::AppError&) {
    }
  }
  // The ranges of the stock catalogue, as the upload reads them.
  (void)orv::XlsxRangeList::OwnerProgId(*workbook);
  auto list = std::make_shared<orv::XlsxRangeList>(workbook);
  orv::clsOrvStockRanges catalogue;
  catalogue.SetRangeList(list);
  catalogue.DefineWorkbookRanges(7);
  for (const auto& definition : list->Definitions()) {
    try {
      if (!list->RangeExists(definition->name)) continue;
      const std::int32_t rows = std::min<std::int32_t>(list->RangeRowCount(definition->name),
                                                       static_cast<std::int32_t>(kCellsPerRange));
      for (std::int32_t row = 1; row <= rows; ++row) {
        std::int32_t at = row;
        bool present = false;
        (void)list->GetCellValue(definition->name, at, present);
      }
    } catch (const orv::AppError&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto& path = WorkbookPath();
  if (input.rfind("--- ", 0) == 0) {
    if (!PackParts(input, path)) return 0;
  } else {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(input.data(), static_cast<long>(size));
  }
  // Parts inflated beyond what a fuzz input can honestly need are refused, as a zip bomb is.
  orv::ZipLimits limits;
  limits.max_entry_size = std::uint64_t{64} << 20;
  try {
    ReadEverything(orv::Workbook::Open(path, limits));
  } catch (const orv::AppError&) {
    // A workbook refused with a clear error is a right answer.
  }
  return 0;
}
