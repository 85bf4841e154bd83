#include "upload/clsOrvStock.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

#include "records/CompanionColumns.h"
#include "records/StockdColumns.h"
#include "records/clsStockXpgm.h"
#include "records/clsStockd.h"
#include "records/clsStprexD.h"
#include "records/clsSttechD.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/base/VersionInfo.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/db/EditableRecordset.h"
#include "shell/outside/db/ReadAhead.h"
#include "shell/outside/db/ToleranceCheck.h"
#include "upload/StockRules.h"
#include "upload/StockRunLookups.h"

namespace orv {
namespace {

using Kind = StockFields::Kind;
using Home = StockFields::Home;
using Check = StockRules::Check;

constexpr std::int32_t kPageNumberInvalid = vbObjectError + 5033;
constexpr std::int32_t kProductGroupMissing = vbObjectError;
constexpr std::int32_t kPageMissing = vbObjectError;
constexpr std::int32_t kExtensionMissing = vbObjectError + 5001;

bool Blank(std::string_view text) { return ValueConvert::IsBlank(text); }

// A whole number written in digits, or with a zero fraction as a number cell shows it ("7.0").
std::optional<long> WholeNumber(const std::string& text) {
  auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  auto last = text.find_last_not_of(' ');
  double number = 0;
  auto [end, error] = std::from_chars(text.data() + first, text.data() + last + 1, number);
  if (error != std::errc() || end != text.data() + last + 1) return std::nullopt;
  if (number != static_cast<double>(static_cast<long>(number))) return std::nullopt;
  return static_cast<long>(number);
}

// Whether `value` is one of the "|"-separated codes of `allowed` (an empty code lets "" pass).
bool OneOf(std::string_view value, std::string_view allowed) {
  for (;;) {
    auto bar = allowed.find('|');
    if (allowed.substr(0, bar) == value) return true;
    if (bar == std::string_view::npos) return false;
    allowed.remove_prefix(bar + 1);
  }
}

// Characters, not bytes: the database counts a 4-byte character as one.
std::size_t Characters(std::string_view text) {
  std::size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

[[noreturn]] void Reject(int number, std::string_view message) {
  throw AppError(vbObjectError + number, "", std::string(message));
}

constexpr std::size_t Field(std::string_view property) { return StockRules::F(property); }

struct ColumnField {
  std::size_t field = StockFields::kCount;  // kCount: no field writes the column
  std::size_t entry = 0;
};

// Which field, and which entry of a series, writes each stock master column.
constexpr std::array<ColumnField, StockdColumns::kCount> kStockColumnFields = [] {
  std::array<ColumnField, StockdColumns::kCount> map{};
  for (std::size_t f = 0; f < StockFields::kCount; ++f) {
    const auto& field = StockFields::kAll[f];
    if (field.home != Home::Stock) continue;
    for (std::size_t c = 0; c < StockdColumns::kCount; ++c) {
      std::string_view name = StockdColumns::kAll[c].name;
      if (field.count == 1 && name == field.column) map[c] = {f, 0};
      if (field.count > 1 && name.starts_with(field.column) &&
          name.size() == field.column.size() + 2)
        map[c] = {f, static_cast<std::size_t>((name[name.size() - 2] - '0') * 10 +
                                              (name[name.size() - 1] - '0') - 1)};
    }
  }
  return map;
}();

double RoundTo(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  return std::round(value * scale) / scale;
}

}  // namespace

clsOrvStock::clsOrvStock() = default;
clsOrvStock::~clsOrvStock() { SttechmUpdate_ = 0; }

const std::shared_ptr<DataConnection>& clsOrvStock::SageConnection() {
  if (!connection_) connection_ = std::make_shared<DataConnection>();
  return connection_;
}

void clsOrvStock::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  connection_ = std::move(connection);
  if (stockd_) stockd_->SetSageConnection(connection_);
  if (xpgm_) xpgm_->SetSageConnection(connection_);
  if (stprex_) stprex_->SetSageConnection(connection_);
  if (sttech_) sttech_->SetSageConnection(connection_);
  ForgetReads();
}

void clsOrvStock::MakeRecords() {
  auto make = [&](auto& record) {
    if (record) return;
    record = std::make_unique<typename std::remove_reference_t<decltype(record)>::element_type>();
    record->SetSageConnection(SageConnection());
  };
  make(stockd_);
  make(xpgm_);
  make(stprex_);
}

void clsOrvStock::ForgetReads() {
  if (stockd_) stockd_->ForgetReads();
  if (xpgm_) xpgm_->ForgetReads();
  if (stprex_) stprex_->ForgetReads();
  if (ec_ahead_) ec_ahead_->Forget();
}

void clsOrvStock::ExpectRows(const std::vector<std::pair<std::string, std::string>>& keys) {
  if (!started_) return;
  MakeRecords();
  stockd_->ExpectReads(keys);
  xpgm_->ExpectReads(keys);
  stprex_->ExpectReads(keys);
  const std::string sql = EcSql();
  if (!ec_ahead_ || ec_ahead_->Sql() != sql) ec_ahead_ = std::make_unique<ReadAhead>(sql);
  std::vector<std::vector<Variant>> values;
  for (const auto& [warehouse, product] : keys) values.push_back(EcKey(warehouse, product));
  ec_ahead_->Expect(std::move(values));
}

std::size_t clsOrvStock::Slot(std::size_t field) const {
  const StockFields::Field& f = StockFields::kAll[field];
  std::size_t slot = StockFields::FirstSlot(field);
  if (f.count == 1) return slot;
  if (ArrayIndex_ < 1 || ArrayIndex_ > f.count)
    throw AppError(VbError::kSubscriptOutOfRange, "",
                   "Subscript out of range: " + std::string(f.property) + " has no entry " +
                       std::to_string(ArrayIndex_) + " (1 to " + std::to_string(f.count) + ")");
  return slot + static_cast<std::size_t>(ArrayIndex_ - 1);
}

std::int16_t clsOrvStock::Whole(WholeField field) const {
  return static_cast<std::int16_t>(number_[Slot(field.index)]);
}

std::int32_t clsOrvStock::Version() { return SageConnection()->SystemInfo().Version(); }

// --- The run.

void clsOrvStock::StartStockEx(const std::string&, bool& ok) {
  Trap("StartStockEx of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    DataConnection& connection = *SageConnection();
    if (in_transaction_) CancelStockUpdate();
    line = 20;
    ForgetReads();
    lookups_ = std::make_unique<StockRunLookups>(SageConnection());
    bin_forward_ = lookups_->bins.BinMissing.Subscribe(
        [this](const std::string& warehouse, const std::string& bin, bool& create, bool& accept) {
          BinMissing.Raise(warehouse, bin, create, accept);
        });
    line = 30;
    if (connection.UseTransactions()) {
      connection.BeginTrans();
      in_transaction_ = true;
    }
    started_ = true;
    inserts_ = 0;
    updates_ = 0;
    ok = true;
  });
}

void clsOrvStock::EndStockUpdate() {
  Trap("EndStockUpdate of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    started_ = false;
    ForgetReads();
    if (in_transaction_) {
      in_transaction_ = false;
      SageConnection()->CommitTrans();
    }
  });
}

void clsOrvStock::CancelStockUpdate() {
  Trap("CancelStockUpdate of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    started_ = false;
    ForgetReads();
    if (in_transaction_) {
      in_transaction_ = false;
      SageConnection()->RollbackTrans();
    }
  });
}

void clsOrvStock::UpdateStock() {
  Trap("UpdateStock of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    if (!started_) return;
    MakeRecords();

    line = 20;
    stockd_->Reset();
    new_record_ = !stockd_->ReadIt(Text("warehouse"), Text("product"));
    bool update = true;
    if (new_record_) {
      ++inserts_;
    } else {
      RecordExist.Raise(update);
      ++updates_;
    }

    line = 30;
    if (!update) Reject(5069, "Updates are not allowed");

    line = 40;
    if (new_record_) ClearAbsentFields();
    DataLengthValidation();
    ValidateWarehouse();
    ProductValidation();
    StockValidation();
    if (Is("AnalysisA")) ProductGroupValidate();

    line = 50;
    CopyToRecord();

    line = 60;
    if (new_record_) {
      stockd_->InsertRow();
      lookups_->StockRecordAdded();
    } else
      stockd_->UpdateStock();

    line = 70;
    StockUpdateXpgm();
    line = 80;
    if (Is("Expense")) STPrExDUpdate();
    line = 90;
    if (SttechmUpdate_ && CarriesPage()) WritePage();
    line = 100;
    if (CarriesEc()) StockUpdateEm();
  });
}

// A new record takes blanks and zeros for what the sheet does not carry, before the rules supply
// their defaults, so nothing of an earlier row can reach it.
void clsOrvStock::ClearAbsentFields() {
  for (std::size_t slot = 0; slot < StockFields::kSlots; ++slot) {
    if (present_[slot]) continue;
    text_[slot].clear();
    number_[slot] = 0;
  }
}

// A row carries a page when its page number or one of its lines is not blank: a downloaded item
// without pages brings a blank page number and twelve blank lines, which are no change.
bool clsOrvStock::CarriesPage() const {
  constexpr std::size_t page = StockFields::FirstSlot(Field("PageNumber"));
  constexpr std::size_t lines = StockFields::FirstSlot(Field("TechnicalDesc"));
  if (present_[page] && !Blank(text_[page])) return true;
  for (std::size_t i = 0; i < kTechnicalDescLineCount; ++i)
    if (present_[lines + i] && !Blank(text_[lines + i])) return true;
  return false;
}

// The EC row is written unless its four codes are blank and the supplementary quantity is 0.
bool clsOrvStock::CarriesEc() const {
  return !Blank(Text("StatInd")) || !Blank(Text("ProcInd")) || !Blank(Text("Commodity")) ||
         !Blank(Text("CountryOrig")) || Number("SuppUnitQty") != 0;
}

// --- Rules.

void clsOrvStock::DataLengthValidation() {
  Trap("DataLengthValidation of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    for (const auto& length : StockRules::kLengths) {
      const std::size_t slot = StockFields::FirstSlot(length.field);
      if (!present_[slot]) continue;
      const auto column =
          RecordColumns::Find(StockdColumns::kAll, StockFields::kAll[length.field].column);
      if (Characters(text_[slot]) > static_cast<std::size_t>(StockdColumns::kAll[column].size))
        throw AppError(vbObjectError, "",
                       "Length Exceeded, Data Validation Error " + std::string(length.label));
    }
  });
}

void clsOrvStock::ValidateWarehouse() {
  Trap("ValidateWarehouse of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    // A blank warehouse is the blank-warehouse rule's to reject, with its own message.
    if (Blank(Text("warehouse"))) return;
    line = 20;
    lookups_->ValidateWarehouse(Text("warehouse"));
  });
}

void clsOrvStock::ProductValidation() {
  Trap("ProductValidation of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    if (Blank(Text("product"))) Reject(5021, "Product code cannot be blank");
  });
}

void clsOrvStock::StockValidation() {
  Trap("StockValidation of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 1;
    DataLengthValidation();
    for (const auto& rule : StockRules::kRules) {
      line = rule.step;
      const std::size_t slot = StockFields::FirstSlot(rule.field);
      const Kind kind = StockFields::kAll[rule.field].kind;
      if (rule.check == Check::kSpecial) {
        SpecialRule(rule, slot);
        continue;
      }
      if (!present_[slot]) {
        if (new_record_ && !rule.fallback.empty()) text_[slot] = std::string(rule.fallback);
        continue;
      }
      const double number = number_[slot];
      bool ok = true;
      switch (rule.check) {
        case Check::kOneOf:
          ok = OneOf(text_[slot], rule.allowed);
          break;
        case Check::kAtLeastZero:
          ok = number >= 0;
          break;
        case Check::kAboveZero:
          ok = number > 0;
          break;
        case Check::kYield:
          ok = number >= 0.01 && number <= 100;
          break;
        case Check::kWholeAtLeastZero:
          ok = number >= 0 && !IsDecPointExist(number);
          break;
        case Check::kUnit:
          ok = lookups_->units.Exists(text_[slot]);
          break;
        case Check::kSpecial:
          break;
      }
      (void)kind;
      if (!ok) Reject(rule.number, rule.message);
    }
  });
}

void clsOrvStock::SpecialRule(const StockRules::Rule& rule, std::size_t slot) {
  const bool present = present_[slot];
  std::string& text = text_[slot];
  double& number = number_[slot];
  auto reject = [&rule] { Reject(rule.number, rule.message); };
  auto ask = [&](Event<std::string&, bool&>& event) {
    std::string code = text;
    bool go_on = false;
    event.Raise(code, go_on);
    if (!go_on) reject();
  };
  const std::string wh_product = Text("warehouse") + Text("product");

  switch (rule.step) {
    case 2:
      if (Blank(text)) reject();
      break;
    case 3:
      if ((present && Blank(text)) || (!present && new_record_)) reject();
      break;
    case 4:
      if (!present) {
        if (new_record_)
          text = ValueConvert::Trim(SageConnection()->SystemInfo().DefaultUnitCode());
      } else if (Blank(text) || !lookups_->units.Exists(text)) {
        reject();
      }
      break;
    case 7:
      if (present && !lookups_->vat_types.Exists(text)) reject();
      break;
    case 8:
      if (!present) {
        if (new_record_) text = std::string(rule.fallback);
      } else if (Blank(text)) {
        text = "N";
      } else if (!OneOf(text, rule.allowed)) {
        reject();
      }
      break;
    case 9: {
      // The quantity on hand is the stored record's: the sheet's column is for reading only.
      const double on_hand = new_record_ ? 0 : stockd_->Double("physical_qty");
      if (on_hand > 0) {
        text = stockd_->Text("batch_traceability");
        present_[slot] = false;
      } else if (!present) {
        if (new_record_) text = std::string(rule.fallback);
      } else if (!OneOf(text, rule.allowed)) {
        reject();
      }
      break;
    }
    case 12:
      if (Is("SupSessionDate") && Number("SupSessionDate") != 0 && Blank(text)) reject();
      break;
    case 13:
      if (present && !Blank(text) && Number("SupSessionDate") == 0) reject();
      break;
    case 14:
      if (present && !Blank(text) && !lookups_->StockCodeExists(text)) reject();
      break;
    case 19:
      if (present && text == "S" && Whole("QtyDecPlaces") >= 1) reject();
      break;
    case 20:
      if (present && text == "S" && Text("BulkItem") == "Y") reject();
      break;
    case 21:
      if (present && text == "S" && Text("Traceability") == "N") reject();
      break;
    case 23:
      if (present && text == wh_product) reject();
      break;
    case 24:
      if (!present) break;
      if (Blank(text))
        text.clear();
      else
        lookups_->bins.Check(Text("warehouse"), text);
      break;
    case 25:
      for (std::size_t i = 0; i < kAlternativeCount; ++i) {
        const std::string& code = text_[slot + i];
        if (!present_[slot + i] || Blank(code)) continue;
        if (code == wh_product || !lookups_->StockCodeExists(code)) reject();
      }
      break;
    case 26:
      if (present && CarriesEc() && !OneOf(text, rule.allowed)) reject();
      break;
    case 27:
    case 28:
      if (Version() < 7) break;
      if (!present) {
        if (new_record_) text = std::string(rule.fallback);
        break;
      }
      text = ValueConvert::Trim(text);
      if (text.empty()) text = std::string(rule.fallback);
      if (!OneOf(text, rule.allowed)) reject();
      break;
    case 29:
      if (Version() >= 7 && present &&
          !lookups_->replenish_categories->Exists(ValueConvert::Trim(text)))
        reject();
      break;
    case 30:
      if (present && CarriesEc() && number < 0) reject();
      break;
    case 38:
      if (CarriesPage()) SetText("PageNumber", FormatPageNumber(Text("PageNumber")));
      break;
    case 39:
      if (present && text == "B" && Whole("QtyDecPlaces") >= 1) reject();
      break;
    case 60:
      if (!present) {
        if (new_record_) number = -1;
      } else if (number < 0) {
        reject();
      } else if (number == 0) {
        number = -1;
      }
      break;
    case 70:
      if (present && !Blank(text) && !lookups_->purchase_keys.Exists(text)) ask(PurchaseGLCat);
      break;
    case 71:
      if (present && !Blank(text) && !lookups_->stock_xrefs.Exists(text)) ask(StockGLCat);
      break;
    case 72: {
      if (!present || Blank(text)) break;
      if (!lookups_->BuyerMayBuy(text)) ask(BuyerIDExists);
      break;
    }
    case 73:
      if (!Blank(text) && !lookups_->suppliers.Exists(text))
        Reject(rule.number, std::string(rule.message) + text);
      break;
    case 74:
      if (present && !Blank(text) && !lookups_->packaging.Exists(text))
        Reject(rule.number, std::string(rule.message) + text);
      break;
    case 75:
      for (std::string_view tolerance : {"DeliveryQtyTolerance", "CallOffQtyTolerance"}) {
        const std::size_t at = StockFields::FirstSlot(StockFields::Find(tolerance));
        if (present_[at] && !Blank(text_[at])) ToleranceCheck::Check(text_[at]);
      }
      break;
    default:
      throw AppError(kUnexpectedError, "", fmt::format("No rule is worked for step {}", rule.step));
  }
}

void clsOrvStock::ProductGroupValidate() {
  Trap("ProductGroupValidate of Class Module clsOrvStock Line#:", [&](int& line) {
    const std::string groups = "ABCDEF";
    for (std::size_t i = 0; i < groups.size(); ++i) {
      line = 10 * static_cast<int>(i + 1);
      std::string field = std::string("Analysis") + groups[i];
      const std::size_t slot = StockFields::FirstSlot(StockFields::Find(field));
      if (!present_[slot] || Blank(text_[slot])) continue;
      if (lookups_->ProductGroupExists(text_[slot])) continue;
      std::string label = std::string("Group ") + groups[i];
      bool go_on = false;
      ProductGroupInvalid.Raise(field, label, go_on);
      if (!go_on) throw AppError(kProductGroupMissing, "", "Warning : Product group not selected");
    }
  });
}

bool clsOrvStock::IsDecPointExist(double value) {
  return Variant(value).ToText().find('.') != std::string::npos;
}

// --- Writing.

void clsOrvStock::CopyToRecord() {
  clsStockd& record = *stockd_;
  for (std::size_t c = 0; c < StockdColumns::kCount; ++c) {
    const ColumnField& source = kStockColumnFields[c];
    if (source.field == StockFields::kCount) continue;
    const std::size_t slot = StockFields::FirstSlot(source.field) + source.entry;
    if (!new_record_ && !present_[slot]) continue;
    const Kind kind = StockFields::kAll[source.field].kind;
    switch (StockdColumns::kAll[c].kind) {
      case ColumnKind::Text:
        record.SetValue(c, kind == Kind::Text ? Variant(text_[slot])
                                              : Variant(static_cast<std::int32_t>(number_[slot])));
        break;
      case ColumnKind::Date:
        record.SetValue(c, Variant(OleDate{number_[slot]}));
        break;
      case ColumnKind::Double:
      case ColumnKind::SmallInt:
        record.SetValue(c, Variant(number_[slot]));
        break;
    }
  }
  if (new_record_ && (!Is("LongDescription") || Blank(Text("LongDescription"))))
    record.SetText("long_description", Text("description"));

  // The costs roll up from their elements, rounded to the company's cost decimals.
  const int decimals = SageConnection()->SystemInfo().CostDecimalPlaces();
  record.SetDouble(
      "standard_cost",
      RoundTo(record.Double("standard_material") + record.Double("standard_labour") +
                  record.Double("standard_overhead") + record.Double("standard_subcontra"),
              decimals));
  struct CostElement {
    NumberField field;
    clsStockd::DoubleField column;
  };
  static constexpr CostElement kCurrent[] = {{"CurrentMaterial", "current_material"},
                                             {"CurrentLabour", "current_labour"},
                                             {"CurrentOverhead", "current_overhead"},
                                             {"CurrentSubContra", "current_subcontrac"}};
  for (const auto& element : kCurrent)
    if (Is(element.field))
      record.SetDouble(element.column, RoundTo(Number(element.field), decimals));
  record.SetDouble(
      "current_cost",
      RoundTo(record.Double("current_material") + record.Double("current_labour") +
                  record.Double("current_overhead") + record.Double("current_subcontrac"),
              decimals));
}

void clsOrvStock::StockUpdateXpgm() {
  Trap("StockUpdateXpgm of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    auto extension_fields = [](auto&& each) {
      for (std::size_t i = 0; i < StockFields::kCount; ++i)
        if (StockFields::kAll[i].home == Home::Extension) each(i);
    };
    bool any_present = false;
    extension_fields([&](std::size_t i) { any_present = any_present || present_[Slot(i)]; });
    if (!any_present) return;
    line = 20;
    MakeRecords();
    clsStockXpgm& row = *xpgm_;
    row.Set("warehouse", Text("warehouse"));
    row.Set("product", Text("product"));
    bool is_new = false;
    // Only a missing row means "insert"; a failing database is not taken for one.
    try {
      row.ReadIt();
    } catch (const AppError& error) {
      if (error.Number() != kExtensionMissing) throw;
      is_new = true;
    }
    line = 30;
    bool empty = true;
    extension_fields([&](std::size_t i) {
      const std::size_t column =
          RecordColumns::Find(CompanionColumns::kExtension, StockFields::kAll[i].column);
      if (present_[Slot(i)])
        row.SetAt(column, text_[Slot(i)]);
      else if (is_new)
        row.SetAt(column, "");
      if (!Blank(row.At(column))) empty = false;
    });
    line = 50;
    if (!is_new)
      row.UpdateStockXPg();
    else if (!empty)
      row.InsertRow();
  });
}

std::string clsOrvStock::EcSql() {
  return "select * from " + SageConnection()->TableCatalogue().StockEc() +
         (Version() >= 6 ? " where warehouse = ? and product = ?" : " where whproduct = ?");
}

std::vector<Variant> clsOrvStock::EcKey(const std::string& warehouse, const std::string& product) {
  if (Version() >= 6) return {Variant(warehouse), Variant(product)};
  return {Variant(warehouse + product)};
}

void clsOrvStock::StockUpdateEm() {
  Trap("StockUpdateEm of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    DataConnection& connection = *SageConnection();
    const bool split_key = Version() >= 6;
    const std::string& warehouse = Text("warehouse");
    const std::string& product = Text("product");

    line = 20;
    if (!ec_) ec_ = std::make_unique<EditableRecordset>();
    EditableRecordset& rs = *ec_;
    const std::string sql = EcSql();
    std::vector<Variant> key = EcKey(warehouse, product);
    std::optional<Recordset> answer;
    if (ec_ahead_ && ec_ahead_->Sql() == sql)
      answer = ec_ahead_->Take(connection.AdoConnection(), key);
    if (answer)
      rs.Open(sql, connection.AdoConnection(), key, std::move(*answer));
    else
      rs.Open(sql, connection.AdoConnection(), key);

    line = 30;
    const bool is_new = rs.Eof();
    if (is_new) rs.AddNew();

    line = 40;
    std::string statind = Text("StatInd");
    if (Is("StatInd") && !Blank(statind) && !OneOf(statind, "Y|N|S|E"))
      Reject(5022, "Invalid statistics indicator");
    if (!Is("StatInd") && is_new) statind = "N";

    line = 50;
    if (is_new) {
      if (split_key) {
        rs.SetField("warehouse", connection.ConvertValue(warehouse));
        rs.SetField("product", connection.ConvertValue(product));
      } else {
        rs.SetField("whproduct", connection.ConvertValue(warehouse + product));
      }
      rs.SetField("ssdstate", connection.ConvertValue(""));
      rs.SetField(
          split_key ? CompanionColumns::kEcSpareSplit.name : CompanionColumns::kEcSpareJoined.name,
          connection.ConvertValue(""));
      rs.SetField("weightkg", Variant(0.0));
    }

    line = 60;
    if (Is("StatInd") || is_new) rs.SetField("statind", connection.ConvertValue(statind));
    struct EcCode {
      TextField field;
      std::string_view column;
    };
    static constexpr EcCode kCodes[] = {
        {"ProcInd", "procind"}, {"Commodity", "commodity"}, {"CountryOrig", "country_orig"}};
    for (const auto& code : kCodes) {
      if (Is(code.field))
        rs.SetField(code.column, connection.ConvertValue(Text(code.field)));
      else if (is_new)
        rs.SetField(code.column, connection.ConvertValue(" "));
    }
    if (Is("SuppUnitQty"))
      rs.SetField("suppunitqty", Variant(Number("SuppUnitQty")));
    else if (is_new)
      rs.SetField("suppunitqty", Variant(0.0));

    line = 70;
    rs.Update();
    rs.Close();
  });
}

void clsOrvStock::STPrExDUpdate() {
  Trap("STPrExDUpdate of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    MakeRecords();
    line = 20;
    // Only a missing row is passed over (it is then inserted): a failing write ends the row.
    stprex_->warehouse = Text("warehouse");
    stprex_->product = Text("product");
    const bool found = stprex_->ReadIt();
    stprex_->expense = Text("Expense");
    line = 30;
    // A blank code for an item without an expense row is no change: a downloaded row carries one.
    if (!found && Blank(stprex_->expense)) return;
    if (found)
      stprex_->UpdateRow();
    else
      stprex_->InsertRow();
  });
}

// --- Technical description pages.

bool clsOrvStock::HasTechnicalDescriptionLines() const {
  constexpr std::size_t first = StockFields::FirstSlot(Field("TechnicalDesc"));
  for (std::size_t i = 0; i < kTechnicalDescLineCount; ++i)
    if (present_[first + i]) return true;
  return false;
}

std::string clsOrvStock::FormatPageNumber(const std::string& page) const {
  if (!Is("PageNumber")) return HasTechnicalDescriptionLines() ? "001" : page;
  auto number = WholeNumber(page);
  if (!number || *number < 1 || *number > 999)
    throw AppError(kPageNumberInvalid, "", "Sheet number cannot be blank");
  return fmt::format("{:03}", *number);
}

clsOrvStock::PageWrite clsOrvStock::WritePage() {
  return Trap("WritePage of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    if (Blank(Text("warehouse")) || Blank(Text("product")) || !HasTechnicalDescriptionLines())
      return PageWrite::kNone;
    line = 20;
    if (!sttech_) {
      sttech_ = std::make_unique<clsSttechD>();
      sttech_->SetSageConnection(SageConnection());
    }
    clsSttechD& page = *sttech_;
    page.Reset();
    page.warehouse = Text("warehouse");
    page.product = Text("product");
    page.page_number = Text("PageNumber");
    bool is_new = false;
    try {
      page.ReadIt();
    } catch (const AppError& error) {
      if (error.Number() != kPageMissing) throw;
      is_new = true;
    }
    line = 30;
    constexpr std::size_t first = StockFields::FirstSlot(Field("TechnicalDesc"));
    bool all_present = true;
    bool all_blank = true;
    bool changed = false;
    for (std::size_t i = 0; i < kTechnicalDescLineCount; ++i) {
      if (present_[first + i]) {
        changed = changed || page.text[i] != text_[first + i];
        page.text[i] = text_[first + i];
      } else {
        all_present = false;
      }
      if (!Blank(page.text[i])) all_blank = false;
    }
    line = 40;
    if (!is_new) {
      if (all_present && all_blank) {
        page.DeleteRow();
        return PageWrite::kDeleted;
      }
      // A page the row leaves as it is stays untouched, also a line the database holds as null.
      if (!changed) return PageWrite::kNone;
      page.UpdateRow();
      return PageWrite::kUpdated;
    }
    if (all_blank) return PageWrite::kNone;
    page.InsertRow();
    return PageWrite::kInserted;
  });
}

void clsOrvStock::StartTechDescEx(const std::string& programName) {
  Trap("StartTechDescEx of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    bool ok = false;
    StartStockEx(programName, ok);
    line = 20;
    MakeRecords();
    stockd_->Reset();
    if (!stockd_->ReadIt(Text("warehouse"), Text("product")))
      throw AppError(vbObjectError, "",
                     "Stock record not found for warehouse:" + Text("warehouse") +
                         " Product:" + Text("product"));
  });
}

void clsOrvStock::UpdateTechnicalDescription() {
  Trap("UpdateTechnicalDescription of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    SetText("PageNumber", FormatPageNumber(Text("PageNumber")));
    line = 20;
    switch (WritePage()) {
      case PageWrite::kInserted:
        ++inserts_;
        break;
      case PageWrite::kUpdated:
      case PageWrite::kDeleted:
        ++updates_;
        break;
      case PageWrite::kNone:
        break;
    }
  });
}

std::string clsOrvStock::FullVersionDescription() const {
  return VersionInfo::DataLibrary() + "\r\n" + VersionInfo::GeneralLibrary();
}

}  // namespace orv
