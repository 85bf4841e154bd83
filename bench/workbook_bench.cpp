// Writes and reads a stock workbook of many rows and named ranges through the range list, and
// prints the time of each step and the peak memory.
//
//   workbook_bench [rows=100000] [ranges=160] [folder=/tmp]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell/outside/base/FieldSource.h"
#include "shell/outside/xlsx/CellDates.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookTemplate.h"
#include "shell/outside/xlsx/XlsxRangeList.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

long PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

void Report(const char* step, Clock::time_point since) {
  std::printf("%-34s %8.2f s   peak RSS %6ld MB\n", step, Seconds(since), PeakMegabytes());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int range_count = argc > 2 ? std::atoi(argv[2]) : 160;
  const std::filesystem::path folder = argc > 3 ? argv[3] : std::filesystem::temp_directory_path();
  const auto path = folder / "workbook_bench.xlsx";
  std::filesystem::remove(path);

  std::vector<orv::RangeDefinition> ranges;
  for (int i = 0; i < range_count; ++i) {
    orv::RangeDefinition range;
    char name[16];
    std::snprintf(name, sizeof name, "Field%03d", i + 1);
    range.name = name;
    range.Heading = name;
    range.data_type = i % 8 == 1   ? orv::RangeDefinition::kNumber
                      : i % 8 == 2 ? orv::RangeDefinition::kDate
                                   : orv::RangeDefinition::kText;
    range.length = range.data_type == orv::RangeDefinition::kText ? 20 : 0;
    ranges.push_back(range);
  }
  std::printf("%d rows x %d named ranges (%lld cells)\n", rows, range_count,
              static_cast<long long>(rows) * range_count);

  auto start = Clock::now();
  orv::WorkbookTemplate::Options options;
  options.rows = rows;
  orv::WorkbookTemplate::Create(path, ranges, options);
  Report("create template", start);

  start = Clock::now();
  {
    auto workbook = orv::Workbook::Open(path);
    orv::XlsxRangeList list(workbook);
    for (const auto& range : ranges) {
      list.DefineRange(range.name, 1, range.data_type, 0, 0, range.name, range.length, 0, "", false,
                       "", "");
    }
    auto base = orv::CellDates::FromCivil(2024, 1, 1);
    struct OneField : orv::FieldSource {
      orv::Variant value;
      orv::Variant Field(std::string_view) const override { return value; }
    } field;
    for (int row = 1; row <= rows; ++row) {
      for (const auto& range : ranges) {
        switch (range.data_type) {
          case orv::RangeDefinition::kNumber:
            list.SetCellNumber(range.name, row * 0.25, row);
            break;
          case orv::RangeDefinition::kDate:
            field.value = orv::OleDate{base.serial + row % 3650};
            list.CopyFieldToCell(field, range.name, "due", row);
            break;
          default:
            list.SetCellValue(
                range.name,
                "P" + std::to_string(row) + (row % 5 == 0 ? " long description text" : ""), row);
        }
      }
    }
    Report("fill cells (range list)", start);
    start = Clock::now();
    workbook->Save();
    Report("save (merge, deflate level 1)", start);
  }
  std::printf("file size: %.1f MB\n",
              static_cast<double>(std::filesystem::file_size(path)) / 1048576.0);

  start = Clock::now();
  double checksum = 0;
  {
    auto workbook = orv::Workbook::Open(path);
    orv::XlsxRangeList list(workbook);
    for (const auto& range : ranges) {
      list.DefineRange(range.name, 1, range.data_type, 0, 0, range.name, range.length, 0, "", false,
                       "", "");
    }
    workbook->Document().Cells(0);
    Report("open and read sheet (stream)", start);
    start = Clock::now();
    bool present = false;
    for (int row = 1; row <= rows; ++row) {
      for (const auto& range : ranges) {
        std::int32_t r = row;
        switch (range.data_type) {
          case orv::RangeDefinition::kNumber:
            checksum += list.GetCellNumber(range.name, r, present);
            break;
          case orv::RangeDefinition::kDate:
            checksum += list.GetCellDate(range.name, r, present).serial;
            break;
          default:
            checksum += static_cast<double>(list.GetCellValue(range.name, r, present).size());
        }
      }
    }
    Report("read every cell (range list)", start);
    start = Clock::now();
    for (int row = 1; row <= rows; row += rows / 100 + 1)
      list.SetCellValue(ranges.front().name, "CHANGED", row);
    workbook->Save();
    Report("change 100 cells and save", start);
  }
  std::printf("checksum %.0f\n", checksum);
  if (std::getenv("ORV_BENCH_KEEP") == nullptr) std::filesystem::remove(path);
  return 0;
}
