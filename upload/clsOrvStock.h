#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shell/outside/base/Event.h"
#include "shell/outside/base/Variant.h"
#include "upload/StockFields.h"
#include "upload/StockRules.h"

namespace orv {

class DataConnection;
class EditableRecordset;
class ReadAhead;
class clsStockXpgm;
class clsStockd;
class clsStprexD;
class clsSttechD;
class StockRunLookups;

// One stock row (one warehouse + product) while it is uploaded: the range catalogue fills it from
// a sheet row, UpdateStock validates it and writes it to the stock master and its companion
// tables. A field whose presence flag is false is left unchanged on update and defaulted on
// insert.
//
// Fields are named at compile time: `stock.Text("UnitCode")`, `stock.SetNumber("weight", 2.5)`,
// `stock.Is("UnitCode")`. The two series, Alternatives (10) and TechnicalDesc (12), address the
// entry that ArrayIndex names; an ArrayIndex outside the series is an AppError.
//
// A run: StartStockEx opens one transaction (when the connection uses transactions), every
// UpdateStock writes inside it, and EndStockUpdate commits or CancelStockUpdate rolls back the
// whole run. Doubtful values are put to the owner through the events below; every argument is
// passed by reference and the owner's answer is what it leaves in the flags.
class clsOrvStock {
 public:
  using TextField = StockFields::TextField;
  using NumberField = StockFields::NumberField;
  using WholeField = StockFields::WholeField;
  using AnyField = StockFields::Any;

  static constexpr std::int16_t kAlternativeCount = 10;
  static constexpr std::int16_t kTechnicalDescLineCount = 12;

  clsOrvStock();
  ~clsOrvStock();
  clsOrvStock(const clsOrvStock&) = delete;
  clsOrvStock& operator=(const clsOrvStock&) = delete;

  // A product group code not on file: field "AnalysisA" .. "AnalysisF", label "Group A" ..
  // "Group F"; the row is rejected unless Continue is set.
  Event<std::string&, std::string&, bool&> ProductGroupInvalid;
  // A stock G/L cross-reference, buyer or purchase G/L key not on file (a buyer who may not buy
  // counts as not on file); the row stops unless Continue is set.
  Event<std::string&, bool&> StockGLCat;
  Event<std::string&, bool&> BuyerIDExists;
  Event<std::string&, bool&> PurchaseGLCat;
  // The stock record exists already; Update (true on entry) left false fails the row with
  // "Updates are not allowed".
  Event<bool&> RecordExist;
  // A bin not on file for the warehouse: create and accept (see BinChecker).
  Event<const std::string&, const std::string&, bool&, bool&> BinMissing;

  // The connection every record of the business object works on.
  const std::shared_ptr<DataConnection>& SageConnection();
  void SetSageConnection(std::shared_ptr<DataConnection> connection);

  const std::string& Text(TextField field) const { return text_[Slot(field.index)]; }
  void SetText(TextField field, std::string value) { text_[Slot(field.index)] = std::move(value); }
  double Number(NumberField field) const { return number_[Slot(field.index)]; }
  void SetNumber(NumberField field, double value) { number_[Slot(field.index)] = value; }
  std::int16_t Whole(WholeField field) const;
  void SetWhole(WholeField field, std::int16_t value) { number_[Slot(field.index)] = value; }
  // The presence flag: did the sheet supply the field?
  bool Is(AnyField field) const { return present_[Slot(field.index)]; }
  void SetIs(AnyField field, bool present) { present_[Slot(field.index)] = present; }

  // The entry of a series that Alternatives and TechnicalDesc address.
  std::int16_t ArrayIndex() const { return ArrayIndex_; }
  void ArrayIndex(std::int16_t value) { ArrayIndex_ = value; }
  // Non-zero when the row carries a technical description page to be written.
  std::int16_t SttechmUpdate() const { return SttechmUpdate_; }
  void SttechmUpdate(std::int16_t value) { SttechmUpdate_ = value; }

  // Begins a run: the transaction (when the connection uses transactions), the counters at 0,
  // the look-up statements prepared for the run. `ok` is set true.
  void StartStockEx(const std::string& programName, bool& ok);
  // Validates the row held in the fields and writes it. A rejected row raises its error; what
  // the row wrote before stays in the run's transaction until the run ends. Does nothing before
  // StartStockEx.
  void UpdateStock();
  // The (warehouse, product) of the rows the run is about to write, in order: their records are
  // read ahead together when the first of them is read (see ReadAhead). Nothing before
  // StartStockEx; what is read ahead is dropped when the run ends.
  void ExpectRows(const std::vector<std::pair<std::string, std::string>>& keys);
  // Commits, or rolls back, the run's transaction when one is open; either ends the run.
  void EndStockUpdate();
  void CancelStockUpdate();
  // Rows found new, and rows found on file, since StartStockEx.
  std::int32_t CountInserts() const { return inserts_; }
  std::int32_t CountUpdates() const { return updates_; }
  // Whether the row being written is a new stock record.
  bool NewRecord() const { return new_record_; }

  // The rule sets, in the order UpdateStock runs them.
  void DataLengthValidation();
  void ValidateWarehouse();
  void ProductValidation();
  void StockValidation();
  void ProductGroupValidate();

  // The companion rows of the current row.
  void StockUpdateXpgm();
  void StockUpdateEm();
  void STPrExDUpdate();

  // The technical description component's run: StartStockEx, then the stock record of warehouse
  // and product must exist ("Stock record not found for warehouse:...").
  void StartTechDescEx(const std::string& programName);
  // Writes the page of the current row (page number rule first); counts it when it was written.
  void UpdateTechnicalDescription();

  // The page number rule: with a page range, a whole number 1 to 999 becomes three digits, and
  // anything else fails with the object-error base + 5033. Without one, a row carrying
  // technical description lines gets page "001".
  std::string FormatPageNumber(const std::string& page) const;
  bool HasTechnicalDescriptionLines() const;
  // True when the value written as decimal text holds a ".".
  static bool IsDecPointExist(double value);

  // The data and the general layer's version texts, one a line.
  std::string FullVersionDescription() const;

 private:
  // The value slot of a field; for a series, the entry ArrayIndex names.
  std::size_t Slot(std::size_t field) const;
  void SpecialRule(const StockRules::Rule& rule, std::size_t slot);
  void ClearAbsentFields();
  bool CarriesPage() const;
  bool CarriesEc() const;
  void CopyToRecord();
  // Writes the page of the current row: inserted when new and not blank, deleted when all twelve
  // lines are on the sheet and blank, updated when the sheet changes a line, else left alone.
  enum class PageWrite { kNone, kInserted, kUpdated, kDeleted };
  PageWrite WritePage();
  std::int32_t Version();
  // The records of the run, made on first use.
  void MakeRecords();
  void ForgetReads();
  // The EC row's selection and its key values.
  std::string EcSql();
  std::vector<Variant> EcKey(const std::string& warehouse, const std::string& product);

  std::shared_ptr<DataConnection> connection_;
  std::unique_ptr<clsStockd> stockd_;
  std::unique_ptr<clsStockXpgm> xpgm_;
  std::unique_ptr<clsStprexD> stprex_;
  std::unique_ptr<clsSttechD> sttech_;
  // The EC row of the current row, opened anew for each (its statements stay prepared).
  std::unique_ptr<EditableRecordset> ec_;
  std::unique_ptr<ReadAhead> ec_ahead_;
  std::unique_ptr<StockRunLookups> lookups_;
  Event<const std::string&, const std::string&, bool&, bool&>::Subscription bin_forward_;

  std::array<std::string, StockFields::kSlots> text_;
  std::array<double, StockFields::kSlots> number_{};
  std::array<bool, StockFields::kSlots> present_{};
  std::int16_t ArrayIndex_ = 0;
  std::int16_t SttechmUpdate_ = 0;

  bool started_ = false;
  bool in_transaction_ = false;
  bool new_record_ = false;
  std::int32_t inserts_ = 0;
  std::int32_t updates_ = 0;
};

}  // namespace orv
