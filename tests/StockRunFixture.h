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
#include "tests/DatabaseFixture.h"

namespace orv {

class Connection;
class Workbook;
class _clsOrvStockEx;

namespace test {

// Every table of the company open on `connection`, one line a row in the order of all its
// columns, each value with its type: two dumps are equal exactly when the company holds the
// same data.
std::string DumpCompany(const std::shared_ptr<Connection>& connection);

// The ranges of the stock catalogue: every range of ERP version 7.
std::vector<RangeDefinition> StockCatalogue();

// "" when the dumps are equal, else their first differing line and its table.
std::string FirstDifference(const std::string& expected, const std::string& actual);

// A row as the upload names it in a message: "sheet row 12 (warehouse 01, product BOLT-1)",
// and what follows on that line.
struct NamedRow {
  std::uint32_t sheet_row = 0;
  std::string warehouse, product, rest;
};
// The first row named in `text` after `after` (a line's opening words); nullopt when none is.
std::optional<NamedRow> FindNamedRow(std::string_view text, std::string_view after = "");

// What one run of the stock component showed and counted.
struct StockRun {
  std::string notices;  // messages, notices and the summary, in order
  int reported = 0;     // errors reported
  int failures = 0;     // declined questions and failed rows, counted without a report
  std::size_t unused_answers = 0;
  bool saved = false;  // the workbook was written back
};

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

// A demo company on each database, registered as DEMO in a companies file of the test's own,
// and workbooks of every range of the catalogue, run through the stock component as orvstock
// runs it.
class StockWorkbookTest : public DatabaseTest {
 protected:
  void SetUp() override;
  // Stock records of the demo company.
  virtual int CompanyRows() const { return 20; }

  // A new workbook of every range with `rows` data rows.
  std::filesystem::path Template(int rows, const std::string& name = "stock.xlsx");
  // One action as orvstock runs it: the workbook opened, the component given the site (the
  // answers, the answers given for every showing of a dialog, the database faults), the
  // workbook and its ranges; the action unless that reported an error; the connection closed;
  // the workbook saved when no error was reported and the action changed it.
  StockRun Run(const std::filesystem::path& workbook, std::deque<std::string> answers,
               const std::function<void(_clsOrvStockEx&)>& action,
               const std::map<std::string, std::string>& standing = {},
               std::shared_ptr<FaultPlan> faults = nullptr);
  // Every stock record into the workbook from its first row (the download dialog's Clear).
  StockRun DownloadAll(const std::filesystem::path& workbook);
  // The upload confirmed, every existing record updated and every warning passed.
  StockRun UploadAll(const std::filesystem::path& workbook,
                     std::shared_ptr<FaultPlan> faults = nullptr);
  // orvstock upload --check: every row checked and named when it fails, nothing written.
  StockRun CheckAll(const std::filesystem::path& workbook);
  std::string Dump() const;

  bool upload_check_ = false;
  std::shared_ptr<DataConnection> connection_;
  std::filesystem::path companies_file_;
};

}  // namespace test
}  // namespace orv
