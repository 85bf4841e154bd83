// The stock upload end to end: a demo company downloaded into a real workbook by `orvstock
// extract`, cells edited, then `orvstock upload` run as a user runs it. The database is compared
// as a whole (every row of every table) before and after.

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "shell/outside/db/Connection.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/Recordset.h"
#include "tests/ComponentRun.h"
#include "tests/DatabaseFixture.h"
#include "tests/HostRunner.h"
#include "tests/StockRunFixture.h"
#include "tests/TestSupport.h"
#include "tests/WorkbookFixtures.h"

namespace orv {
namespace {

using ::testing::HasSubstr;

using test::RunHost;

// A cell to put into a data row before the upload: range, row (from 1), value.
struct Edit {
  std::string range;
  int row;
  Variant value;
};

class UploadRun : public test::DemoCompanyTest {
 protected:
  // The demo company of that version, and its rows downloaded by orvstock into a workbook of
  // every range (or the ranges named).
  void Prepare(int erp_version, int rows = 20, const std::string& ranges = "") {
    OpenDemoCompany(erp_version, rows);
    auto made =
        RunHost("template '" + Book().string() + "' --erp-version " + std::to_string(erp_version) +
                " --rows " + std::to_string(rows + 5) + " " + ranges);
    ASSERT_EQ(made.status, 0) << made.output;
    auto extract = RunHost(Config() + " extract '" + Book().string() +
                           "' --from-warehouse 01 --to-warehouse 99 --clear");
    ASSERT_EQ(extract.status, 0) << extract.output;
  }

  std::string Config() const { return "--config '" + companies_file_.string() + "'"; }
  std::filesystem::path Book() const { return scratch_->Folder() / "stock.xlsx"; }

  void Put(const std::vector<Edit>& edits) {
    test::SheetEdit sheet(Book());
    for (const auto& [range, row, value] : edits)
      sheet.Set(range, static_cast<std::uint32_t>(row), value);
    sheet.Save();
  }

  // `answers` are given to the host before the command, in the order the questions come.
  test::HostResult Upload(const std::string& flags = "--yes --update-all",
                          const std::vector<std::string>& answers = {},
                          const std::string& host_options = "") {
    std::string given = " " + host_options;
    for (const auto& answer : answers) given += " --answer " + answer;
    return RunHost(Config() + given + " upload '" + Book().string() + "' " + flags);
  }

  // The sheet row (from 1) of the first record that `condition` picks, by the stock master.
  int RowWhere(const std::string& condition) {
    Recordset rows;
    rows.Open("select warehouse, product from " + connection_->TableCatalogue().StockMaster() +
                  " where " + condition,
              connection_->AdoConnection());
    std::set<std::pair<std::string, std::string>> keys;
    for (; !rows.Eof(); rows.MoveNext())
      keys.emplace(rows.Fields("warehouse").ToText(), rows.Fields("product").ToText());
    for (int row = 1; row <= 40; ++row)
      if (keys.count(Key(row))) return row;
    ADD_FAILURE() << "no row where " << condition;
    return 1;
  }

  // The stock master's `column` of the record on sheet row `row`.
  std::string Stored(const std::string& column, int row) {
    auto [warehouse, product] = Key(row);
    return Value("select " + column + " from " + connection_->TableCatalogue().StockMaster() +
                 " where warehouse = '" + warehouse + "' and product = '" + product + "'");
  }

  std::pair<std::string, std::string> Key(int row) {
    test::SheetEdit sheet(Book());
    const auto at = static_cast<std::uint32_t>(row);
    return {sheet.Get("Warehouse", at).ToText(), sheet.Get("Product", at).ToText()};
  }
};

// --- One rule at a time, on SQLite.

struct RuleCase {
  std::vector<Edit> edits;
  int number;  // object-error number, 0 for the base itself
  std::string message;
};

class UploadRules : public UploadRun {
 protected:
  void SetUp() override {
    UploadRun::SetUp();
    if (IsSkipped()) return;
    Prepare(7);
    auto [warehouse, product] = Key(3);
    connection_->AdoConnection()->Execute("update " + connection_->TableCatalogue().StockMaster() +
                                          " set physical_qty = 0 where warehouse = '" + warehouse +
                                          "' and product = '" + product + "'");
    before_ = Dump();
    pristine_ = test::ReadBytes(Book());
  }

  // Each case on a fresh copy of the downloaded workbook: rejected with its number and message,
  // the database as it was.
  void ExpectRejected(const std::vector<RuleCase>& cases) {
    for (const auto& rule : cases) {
      test::WriteBytes(Book(), pristine_);
      Put(rule.edits);
      auto run = Upload("--yes --update-all", {}, "--verbose");
      const std::string expected =
          fmt::format("Error {}: {}", vbObjectError + rule.number, rule.message);
      EXPECT_EQ(run.status, 1) << rule.message << "\n" << run.output;
      EXPECT_THAT(run.output, HasSubstr(expected + "\n")) << "expected " << expected;
      EXPECT_TRUE(Dump() == before_) << "the database changed: " << rule.message;
    }
  }

  // Each case is accepted; `check` then reads what was stored.
  void ExpectAccepted(const std::vector<Edit>& edits, const std::function<void()>& check) {
    test::WriteBytes(Book(), pristine_);
    Put(edits);
    auto run = Upload();
    ASSERT_EQ(run.status, 0) << run.output;
    check();
  }

  std::string before_;
  std::string pristine_;
};

TEST_P(UploadRules, LengthsAndKeysComeFirst) {
  ExpectRejected({
      {{{"Warehouse", 2, "ABC"}, {"Weight", 2, -1.0}},
       0,
       "Length Exceeded, Data Validation Error Warehouse"},
      {{{"Description", 1, std::string(21, 'x')}},
       0,
       "Length Exceeded, Data Validation Error Description"},
      {{{"AnalysisB", 3, "ABCDEFGHIJK"}},
       0,
       "Length Exceeded, Data Validation Error Product Group B"},
      {{{"Supplier", 1, "ABCDEFGHI"}}, 0, "Length Exceeded, Data Validation Error Supplier"},
      {{{"StdCostFreeze", 1, "YY"}}, 0, "Length Exceeded, Data Validation Error STD COST FREEZE"},
      {{{"Warehouse", 4, "ZZ"}}, 5000, "Cannot find warehouse ZZ"},
      {{{"Warehouse", 4, ""}}, 5020, "Warehouse code cannot be blank."},
      {{{"Description", 2, "  "}}, 5012, "Description may not be left blank for new product."},
  });
  // Four-byte characters count once: 20 of them fit a 20-character description.
  std::string wide;
  for (int i = 0; i < 20; ++i) wide += "\xF0\x9F\x93\xA6";
  ExpectAccepted({{"Description", 1, wide}}, [&] { EXPECT_EQ(Stored("description", 1), wide); });
}

TEST_P(UploadRules, CodesMustBeOnFile) {
  ExpectRejected({
      {{{"UnitCode", 1, ""}}, 5025, "Blank unit code not allowed."},
      {{{"UnitCode", 1, "XX"}}, 5025, "Blank unit code not allowed."},
      {{{"StockVatType", 1, "Q"}}, 5050, "Invalid Vat Type"},
      {{{"SellingUnit", 1, "XX"}}, 5007, "Invalid selling unit"},
      {{{"SupsessionDate", 1, "01/02/2024"}, {"SuperSession", 1, ""}},
       5065,
       "Supersession code missing but supersession date entered"},
      {{{"SuperSession", 1, "01NOPE"}, {"SupsessionDate", 1, ""}},
       5066,
       "Supersession date must be specified for supersession stock code"},
      {{{"SuperSession", 1, "01NOPE"}, {"SupsessionDate", 1, "01/02/2024"}},
       5067,
       "Supersession code invalid"},
      {{{"Alternatives03", 1, "01NOPE"}}, 5019, "Invalid Alternative code."},
      {{{"ReplenishCategory", 1, "ZZZ"}}, 5082, "Invalid Replenish Category"},
      {{{"Supplier", 1, "NOBODY"}}, 5000, "Cannot find supplier NOBODY"},
      {{{"Packaging", 1, "CRATE"}}, 5000, "Cannot find packaging code CRATE"},
      {{{"delivery_qty_tol", 1, "-5"}},
       5074,
       "Invalid tolerance \"-5\" - must be a quantity or a percentage up to 100%, such as 5 or "
       "2.5%"},
      {{{"call_off_qty_tol", 1, "150%"}},
       5074,
       "Invalid tolerance \"150%\" - must be a quantity or a percentage up to 100%, such as 5 or "
       "2.5%"},
  });
  // A supersession of the record itself, and an alternative that is the record itself.
  auto [warehouse, product] = Key(1);
  ExpectRejected({
      {{{"SuperSession", 1, warehouse + product}, {"SupsessionDate", 1, "01/02/2024"}},
       5018,
       "Supersession Code similar to stock code not allowed."},
      {{{"Alternatives01", 1, warehouse + product}}, 5019, "Invalid Alternative code."},
  });
  ExpectAccepted({{"delivery_qty_tol", 1, "2.5%"}, {"call_off_qty_tol", 1, "12"}}, [&] {
    EXPECT_EQ(Value("select delivery_qty_tol || call_off_qty_tol from scheme.stockxpgm where "
                    "warehouse = '" +
                    warehouse + "' and product = '" + product + "'"),
              "2.5%12");
  });
}

// Each kind of check once (the fields each applies to are the rule table's), and the rules that
// weigh one field against another.
TEST_P(UploadRules, IndicatorsTakeTheirCodesOnly) {
  // Traceability is the sheet's to change only while nothing is in stock (row 3 has none).
  const int stocked = RowWhere("physical_qty > 0 and batch_traceability = 'N'");
  const int empty = 3;
  ExpectRejected({
      {{{"QtyDecimalPlaces", 1, -1.0}}, 5003, "Negative Value."},
      {{{"MakeOrBuy", 1, "X"}}, 5005, "Invalid make or buy - must be M, B or A."},
      {{{"VatInclusive", 1, "y"}}, 5004, "Only Y or N for Vat Inclusive."},
      {{{"Traceability", empty, "X"}}, 5002, "Batch tracking indicator invalid."},
      {{{"SerialNumbers", 1, "s"}},
       5013,
       "Invalid Serial Number Must Be Only P or S or Leave Blank."},
      {{{"SerialNumbers", 1, "S"}, {"QtyDecimalPlaces", 1, 2.0}},
       5076,
       "Serial numbered items must have zero decimal places on quantities"},
      {{{"SerialNumbers", 1, "S"}, {"QtyDecimalPlaces", 1, 0.0}, {"BulkItem", 1, "Y"}},
       5078,
       "Serial numbered items cannot be bulk issued"},
      {{{"SerialNumbers", empty, "S"},
        {"QtyDecimalPlaces", empty, 0.0},
        {"Traceability", empty, "N"}},
       5079,
       "Serial item cannot be non-tracked"},
      {{{"StatisticsInd", 1, "X"}, {"Commodity", 1, "1234"}}, 5022, "Invalid statistics indicator"},
      {{{"Held?", 1, "X"}}, 5080, "Invalid Held code must be - Y or N"},
      {{{"Obsolete", 1, "X"}}, 5081, "Invalid Obsolete code must be - Y or N"},
      {{{"StockType", 1, "B"}, {"QtyDecimalPlaces", 1, 1.0}},
       5077,
       "Bundle type items must have zero decimal places on quantities"},
      {{{"StockType", 1, "X"}}, 5034, "Invalid bundle type"},
  });
  ExpectAccepted({{"StockType", 1, "b"},
                  {"QtyDecimalPlaces", 1, 0.0},
                  {"VatInclusive", 1, ""},
                  {"Traceability", stocked, "X"}},
                 [&] {
                   EXPECT_EQ(Stored("stock_type", 1), "b");
                   EXPECT_EQ(Stored("vat_inclusive", 1), "N") << "blank becomes N";
                   EXPECT_EQ(Stored("batch_traceability", stocked), "N") << "stock on hand";
                 });
}

// Each kind of bound once, at its edges.
TEST_P(UploadRules, NumbersStayInTheirBounds) {
  ExpectRejected({
      {{{"SuppUnitQty", 1, -1.0}, {"Commodity", 1, "1234"}},
       5024,
       "Invalid size in supplementary units - must be greater than 0."},
      {{{"SellingFactor", 1, 0.0}}, 5026, "Invalid selling conversion - must be greater than 0."},
      {{{"InspectionYield", 1, 0.0}}, 5028, "Inspection yield invalid."},
      {{{"InspectionYield", 1, 100.5}}, 5028, "Inspection yield invalid."},
      {{{"PrYield", 1, 0.0}}, 5032, "P&R yield invalid."},
      {{{"Weight", 1, -1.0}}, 5047, "Invalid Weight/unit(max)"},
      {{{"LeadTime", 1, 2.5}}, 5049, "Invalid lead time"},
      {{{"ReviewDays", 1, -7.0}}, 5051, "Invalid review time"},
      {{{"StockTakeToleran", 1, -2.0}}, 5055, "Invalid stock take tolerance"},
      {{{"StandardOverhead", 1, -0.01}}, 5057, "Invalid standard overhead"},
      {{{"CurrentSubcontra", 1, -1.0}}, 5064, "Invalid current outwork"},
  });
  ExpectAccepted({{"InspectionYield", 1, 0.01},
                  {"PrYield", 1, 100.0},
                  {"LeadTime", 1, 3.0},
                  {"StockTakeToleran", 1, 0.0},
                  {"StockTakeToleran", 2, 5.0},
                  {"SuppUnitQty", 1, 0.0}},
                 [&] {
                   EXPECT_EQ(Stored("inspection_yield", 1), "0.01");
                   EXPECT_EQ(Stored("pr_yield", 1), "100");
                   EXPECT_EQ(Stored("lead_time", 1), "3");
                   EXPECT_EQ(Stored("stock_take_toleran", 1), "-1") << "0 means no tolerance";
                   EXPECT_EQ(Stored("stock_take_toleran", 2), "5");
                 });
  // The costs roll up from their elements, rounded to the company's two decimals.
  ExpectAccepted({{"StandardMaterial", 1, 1.004},
                  {"StandardLabour", 1, 0.5},
                  {"StandardOverhead", 1, 0.25},
                  {"StandardSubcontra", 1, 0.0},
                  {"CurrentMaterial", 1, 2.126}},
                 [&] {
                   EXPECT_EQ(Stored("standard_cost", 1), "1.75");
                   EXPECT_EQ(Stored("current_material", 1), "2.13");
                   EXPECT_EQ(Stored("current_cost", 1),
                             Value("select round(current_material + current_labour + "
                                   "current_overhead + current_subcontrac, 2) from scheme.stockm "
                                   "where product = '" +
                                   Key(1).second + "' and warehouse = '" + Key(1).first + "'"));
                 });
}

TEST_P(UploadRules, PagesTakeAThreeDigitNumber) {
  ExpectRejected({
      // The page numbers themselves are the page number test's.
      {{{"PageNumber", 1, "1000"}, {"TEXT01", 1, "a line"}}, 5033, "Sheet number cannot be blank"},
      {{{"PageNumber", 1, ""}, {"TEXT03", 1, "a line without a page"}},
       5033,
       "Sheet number cannot be blank"},
  });
  auto [warehouse, product] = Key(1);
  ExpectAccepted({{"PageNumber", 1, "12"}, {"TEXT02", 1, "second line"}}, [&] {
    EXPECT_EQ(Value("select text02 from scheme.sttechm where warehouse = '" + warehouse +
                    "' and product = '" + product + "' and page_number = '012'"),
              "second line");
  });
}

TEST_P(UploadRules, AnsweredWarningsOnlyStopWhenDeclined) {
  for (const auto& [range, code, text] :
       std::vector<std::tuple<std::string, std::string, std::string>>{
           {"PurchaseKey", "ZZZ", "Warning: Purchase G/L category ZZZ not on file."},
           {"AnalysisXRef", "ZZZ", "Warning: Stock G/L category ZZZ not on file."},
           {"BuyerId", "TEMP01", "Warning: Invalid buyer code TEMP01 not on file."},
           {"AnalysisC", "NOGROUP", "Warning: Product  Group C not on file."}}) {
    test::WriteBytes(Book(), pristine_);
    Put({{range, 1, code}});
    // Declined: the run ends without an error box and writes nothing.
    auto run = Upload("--yes --update-all", {"cmdBtnCancel"});
    EXPECT_EQ(run.status, 1) << run.output;
    // A declined product group rejects the row with its message; the others end silently.
    EXPECT_EQ(run.output.find("Error "),
              range == "AnalysisC" ? run.output.find("Error -2147221504: Warning : Product group "
                                                     "not selected")
                                   : std::string::npos)
        << run.output;
    EXPECT_TRUE(Dump() == before_) << "the database changed: " << range;
    // A check names the warning the upload would ask.
    run = Upload("--check");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr(text));
  }
}

// The rules are the same on both databases: their table-driven cases run on SQLite.
INSTANTIATE_TEST_SUITE_P(Databases, UploadRules, ::testing::Values(test::Backend::SQLite),
                         test::BackendName);

// --- Whole runs, on both databases.

class UploadRuns : public UploadRun {};

TEST_P(UploadRuns, AnUneditedDownloadUploadsWithoutChangingAnything) {
  Prepare(7);
  const std::string before = Dump();
  const std::string workbook = test::ReadBytes(Book());
  auto run = Upload();
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Record Processed : 20, Added: 0, Updated: 20"));
  EXPECT_TRUE(Dump() == before) << "the database changed";
  EXPECT_EQ(test::ReadBytes(Book()), workbook) << "an upload does not write the workbook";

  // The same after the workbook was saved by openpyxl, and by LibreOffice when it is installed.
  test::RunPython(scratch_->Folder(), "wb = openpyxl.load_workbook('" + Book().string() +
                                          "')\nwb.save('" + Book().string() + "')\n");
  run = Upload();
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Dump() == before) << "the database changed";
  if (std::system("command -v soffice >/dev/null 2>&1") == 0) {
    auto out = scratch_->Folder() / "lo";
    std::string command = "soffice -env:UserInstallation=file://" + (out / "profile").string() +
                          " --headless --convert-to xlsx --outdir '" + out.string() + "' '" +
                          Book().string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::filesystem::copy_file(out / "stock.xlsx", Book(),
                               std::filesystem::copy_options::overwrite_existing);
    run = Upload();
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(Dump() == before) << "the database changed";
  }
}

// A rule that rejects the fifth row undoes the four before it, names the row, and leaves the
// workbook as it was.
TEST_P(UploadRuns, ARejectedRowUndoesTheWholeRunAndIsNamed) {
  Prepare(7);
  const std::string before = Dump();
  Put({{"Description", 1, "changed 1"},
       {"Description", 2, "changed 2"},
       {"Description", 3, "changed 3"},
       {"Description", 4, "changed 4"},
       {"Weight", 5, -1.0}});
  const std::string workbook = test::ReadBytes(Book());
  auto [warehouse, product] = Key(5);
  const auto sheet_row = test::SheetEdit(Book()).FirstRow("Weight") + 4;
  auto run = Upload();
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Upload stopped at sheet row " + std::to_string(sheet_row) +
                                    " (warehouse " + warehouse + ", product " + product + ")"));
  EXPECT_TRUE(Dump() == before) << "the database changed";
  EXPECT_EQ(test::ReadBytes(Book()), workbook);
}

// A live host keeps its component and connection: after a rejected run the user mends the row
// and uploads again, and that run must start afresh and write both rows.
TEST_P(UploadRuns, AMendedRowUploadsOnTheSameConnection) {
  Prepare(7);
  Put({{"Description", 1, "changed 1"}, {"Weight", 2, -1.0}});
  test::HostSetup setup;
  setup.companies_file = companies_file_;
  setup.standing = {{"frmPostConfirm", "cmdOk"}, {"RecordExists", "UpdateAll"}};
  auto run = test::RunStock(
      Book(), {},
      [](_clsOrvStockEx& stock, Workbook& book) {
        stock.UploadStock();
        book.NamedRange("Weight")->Cells(2, 1).SetValue(Variant(2.5));
        stock.UploadStock();
      },
      setup);
  EXPECT_EQ(run.errors, 1) << run.Output();
  EXPECT_THAT(run.Output(), HasSubstr("Record Processed : 20, Added: 0, Updated: 20"));
  EXPECT_EQ(Stored("description", 1), "changed 1");
  EXPECT_EQ(std::stod(Stored("weight", 2)), 2.5);
}

// Below version 7 the held, obsolete and replenishment cells are not read back, so values no
// rule of version 7 would take change nothing.
TEST_P(UploadRuns, Version6LeavesHeldObsoleteAndReplenishmentAlone) {
  Prepare(6);
  const std::string before = Dump();
  auto run = RunHost("template '" + Book().string() + "' --replace --erp-version 7 --rows 25");
  ASSERT_EQ(run.status, 0) << run.output;
  run = RunHost(Config() + " extract '" + Book().string() + "' --clear");
  ASSERT_EQ(run.status, 0) << run.output;
  Put({{"Held?", 1, "X"}, {"Obsolete", 1, "X"}, {"ReplenishCategory", 1, "ZZZ"}});
  run = Upload();
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Dump() == before) << "the database changed";
}

TEST_P(UploadRuns, ExistingRecordsFollowTheOption) {
  Prepare(7);
  const std::string before = Dump();
  Put({{"Description", 1, "changed"}});
  // Do not allow: the first existing record ends the run.
  ASSERT_EQ(RunHost("options --existing-records deny").status, 0);
  auto run = Upload();
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.output, HasSubstr("Updates are not allowed"));
  EXPECT_TRUE(Dump() == before) << "the database changed";
  // Warn: asked, and Cancel is a refusal.
  ASSERT_EQ(RunHost("options --existing-records warn").status, 0);
  run = Upload("--yes", {"Cancel"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Dump() == before) << "the database changed";
  // "Update" for the first record, then "Update All" for the rest.
  run = Upload("--yes", {"Update", "UpdateAll"});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Stored("description", 1), "changed");
  // Allow without warning: nothing asked.
  ASSERT_EQ(RunHost("options --existing-records allow").status, 0);
  EXPECT_EQ(Upload("--yes").status, 0);
}

TEST_P(UploadRuns, YesToAllHoldsForTheRunOnly) {
  Prepare(7);
  Put({{"PurchaseKey", 1, "ZZZ"}, {"PurchaseKey", 2, "ZZZ"}});
  // One answer serves both rows of the run ...
  auto run = Upload("--yes --update-all", {"cmdYesToAll"});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(Stored("purchase_key", 2), "ZZZ");
  // ... and the next run asks again.
  const std::string before = Dump();
  run = Upload("--yes --update-all");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_TRUE(Dump() == before) << "the database changed";
  EXPECT_EQ(Upload("--yes --update-all --continue-warnings").status, 0);
}

TEST_P(UploadRuns, AnEmptySheetCommitsAnEmptyRun) {
  Prepare(7, 5, "Warehouse Product Description");
  ASSERT_EQ(RunHost("template '" + Book().string() +
                    "' --replace --rows 10 Warehouse Product Description")
                .status,
            0);
  const std::string before = Dump();
  auto run = Upload("--yes");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Record Processed : 0, Added: 0, Updated: 0"));
  EXPECT_TRUE(Dump() == before) << "the database changed";
  // Without the Warehouse range the run does not start.
  ASSERT_EQ(RunHost("template '" + Book().string() + "' --replace Product Description").status, 0);
  run = Upload("--yes");
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.output, HasSubstr("Warehouse range not found, Must be included"));
}

TEST_P(UploadRuns, ANewRecordTakesItsDefaultsAndItsCompanions) {
  Prepare(5, 6);
  // Blank cells count as absent, so the new record takes the defaults of what it lacks.
  ASSERT_EQ(RunHost("options --ignore-blank-cells on").status, 0);
  const int row = 7;  // below the downloaded rows
  Put({{"Warehouse", row, "01"},
       {"Product", row, "NEW-ITEM"},
       {"Description", row, "A new item"},
       {"StatisticsInd", row, "Y"},
       {"Commodity", row, "73181595"},
       {"Expense", row, "MAINT"},
       {"bincode", row, "NEW-BIN"},
       // The same key again, in the same batch of rows read ahead: by then it is on file.
       {"Warehouse", row + 1, "01"},
       {"Product", row + 1, "NEW-ITEM"},
       {"Description", row + 1, "A new item"},
       {"StatisticsInd", row + 1, "Y"},
       {"Commodity", row + 1, "73181595"},
       {"Expense", row + 1, "MAINT"}});
  auto run = Upload();
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Record Processed : 8, Added: 1, Updated: 7"));
  // Before version 6 the EC and expense rows are keyed by warehouse followed by product.
  EXPECT_EQ(Value("select statind || commodity || procind from scheme.stockem where whproduct "
                  "= '01NEW-ITEM'"),
            "Y73181595 ");
  EXPECT_EQ(Value("select expense from scheme.stprexm where whproduct = '01NEW-ITEM'"), "MAINT");
  EXPECT_EQ(Value("select make_or_buy || mrp_batching || working_level || unit_code || "
                  "long_description from scheme.stockm where product = 'NEW-ITEM'"),
            "AQREAA new item");
  EXPECT_EQ(Value("select stock_take_toleran from scheme.stockm where product = 'NEW-ITEM'"), "-1");
  EXPECT_EQ(Value("select bin_status from scheme.stbinm where warehouse = '01' and bin_code = "
                  "'NEW-BIN'"),
            "A")
      << "a missing bin is created with the run";
}

TEST_P(UploadRuns, ARolledBackRunLeavesNoBinAndNoExpenseBehind) {
  Prepare(7);
  const std::string before = Dump();
  // A new bin on row 1, then an expense code too long for its column on row 2: the insert fails.
  Put({{"bincode", 1, "GONE-BIN"}, {"Expense", 2, std::string(25, 'E')}});
  auto run = Upload();
  EXPECT_EQ(run.status, 1) << run.output;
  // The refused write is named by its own row, though the rows after it were under way.
  auto [warehouse, product] = Key(2);
  const auto sheet_row = test::SheetEdit(Book()).FirstRow("Expense") + 1;
  EXPECT_THAT(run.output, HasSubstr("Upload stopped at sheet row " + std::to_string(sheet_row) +
                                    " (warehouse " + warehouse + ", product " + product + ")"));
  EXPECT_TRUE(Dump() == before) << "the database changed";
  EXPECT_EQ(Value("select bin_code from scheme.stbinm where bin_code = 'GONE-BIN'"), "<none>");
}

TEST_P(UploadRuns, ACheckNamesEveryFailingRowAndWritesNothing) {
  Prepare(7);
  // Row 14's expense code is too long for its column: the database refuses the write.
  Put({{"Weight", 2, -1.0},
       {"MakeOrBuy", 5, "X"},
       {"UnitCode", 9, "XX"},
       {"Expense", 11, std::string(25, 'E')}});
  const std::string before = Dump();
  const std::string workbook = test::ReadBytes(Book());
  auto run = Upload("--check");
  EXPECT_EQ(run.status, 1) << run.output;
  for (const auto& [row, message] :
       std::vector<std::pair<int, std::string>>{{5, "error 5047 (-2147216457): Invalid Weight"},
                                                {8, "error 5005 (-2147216499): Invalid make"},
                                                {12, "error 5025 (-2147216479): Blank unit"},
                                                {14, "error -2147467259: "}}) {
    auto at = run.output.find(fmt::format("sheet row {} (", row));
    ASSERT_NE(at, std::string::npos) << row << "\n" << run.output;
    EXPECT_NE(run.output.find(message, at), std::string::npos) << row << "\n" << run.output;
  }
  EXPECT_THAT(run.output,
              HasSubstr("Checked 20 rows: 4 failed; the upload would add 0 and update 16"));
  EXPECT_TRUE(Dump() == before) << "the database changed";
  EXPECT_EQ(test::ReadBytes(Book()), workbook);
}

INSTANTIATE_TEST_SUITE_P(Databases, UploadRuns, test::AllBackends(), test::BackendName);

}  // namespace
}  // namespace orv
