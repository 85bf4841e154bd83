#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/FaultPlan.h"
#include "shell/outside/base/Variant.h"
#include "shell/outside/xlsx/RangeDefinition.h"
#include "tests/ComponentRun.h"
#include "tests/DatabaseFixture.h"

namespace orv {

class Workbook;
class _clsOrvStockEx;

namespace test {

// The ranges of the stock catalogue: every range of ERP version 7.
std::vector<RangeDefinition> StockCatalogue();

// A row as the upload names it in a message: "sheet row 12 (warehouse 01, product BOLT-1)",
// and what follows on that line.
struct NamedRow {
  std::uint32_t sheet_row = 0;
  std::string warehouse, product, rest;
};
// The first row named in `text` after `after` (a line's opening words); nullopt when none is.
std::optional<NamedRow> FindNamedRow(std::string_view text, std::string_view after = "");

// The cells of a workbook's named ranges, opened for editing.
class SheetEdit {
 public:
  explicit SheetEdit(const std::filesystem::path& path);
  // The cell of the range at `row` (from 1).
  Variant Get(const std::string& range, std::uint32_t row) const;
  void Set(const std::string& range, std::uint32_t row, const Variant& value);
  // The sheet row of the range's first cell.
  std::uint32_t FirstRow(const std::string& range) const;
  // Every range of the workbook's catalogue that has a row `row`.
  std::vector<std::string> RangesWithRow(std::uint32_t row) const;
  void Save();

 private:
  std::shared_ptr<Workbook> workbook_;
};

// Edits of a downloaded sheet that an upload takes: a new description, long description,
// first technical description line (with a page), commodity code (where the record has EC
// details) and expense code on every second of the first `on_file` rows; then `added` new
// products, each a copy of a row on file with a new product code, in the rows below.
void EditForUpload(const std::filesystem::path& workbook, int on_file, int added);

// The demo company and workbooks of every range of the catalogue, run through the stock
// component as orvstock runs it.
class StockWorkbookTest : public DemoCompanyTest {
 protected:
  void SetUp() override;
  // Stock records of the demo company.
  virtual int CompanyRows() const { return 20; }

  // A new workbook of every range with `rows` data rows.
  std::filesystem::path Template(int rows, const std::string& name = "stock.xlsx");
  // One action as orvstock runs it: the workbook opened, the component given the site (the
  // answers, the answers given for every showing of a dialog, the database faults), the
  // workbook and its ranges; the action unless that reported an error; the connection closed;
  // the workbook saved unless an error was reported.
  RunResult Run(const std::filesystem::path& workbook, std::deque<std::string> answers,
                const std::function<void(_clsOrvStockEx&)>& action,
                const std::map<std::string, std::string>& standing = {},
                std::shared_ptr<FaultPlan> faults = nullptr);
  // Every stock record into the workbook from its first row (the download dialog's Clear).
  RunResult DownloadAll(const std::filesystem::path& workbook);
  // The upload confirmed, every existing record updated and every warning passed.
  RunResult UploadAll(const std::filesystem::path& workbook,
                      std::shared_ptr<FaultPlan> faults = nullptr);
  // orvstock upload --check: every row checked and named when it fails, nothing written.
  RunResult CheckAll(const std::filesystem::path& workbook);

  bool upload_check_ = false;
};

}  // namespace test
}  // namespace orv
