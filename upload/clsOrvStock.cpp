#include "upload/clsOrvStock.h"

#include <fmt/format.h>

#include <charconv>
#include <optional>

#include "records/clsStockXpgm.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/base/VersionInfo.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {
namespace {

constexpr std::int32_t kPageNumberInvalid = vbObjectError + 5033;

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

}  // namespace

clsOrvStock::clsOrvStock() = default;
clsOrvStock::~clsOrvStock() { SttechmUpdate_ = 0; }

const std::shared_ptr<DataConnection>& clsOrvStock::SageConnection() {
  if (!connection_) connection_ = std::make_shared<DataConnection>();
  return connection_;
}

void clsOrvStock::SetSageConnection(std::shared_ptr<DataConnection> connection) {
  connection_ = std::move(connection);
  if (xpgm_) xpgm_->SetSageConnection(connection_);
}

void clsOrvStock::StockUpdateXpgm() {
  Trap("StockUpdateXpgm of Class Module clsOrvStock Line#:", [&](int& line) {
    line = 10;
    if (!IsAnalysisD_ && !IsAnalysisE_ && !IsAnalysisF_ && !IsDeliveryQtyTolerance_ &&
        !IsCallOffQtyTolerance_ && !IsConsumerUnit_)
      return;
    line = 20;
    if (!xpgm_) {
      xpgm_ = std::make_unique<clsStockXpgm>();
      xpgm_->SetSageConnection(SageConnection());
    }
    clsStockXpgm& row = *xpgm_;
    row.warehouse = warehouse_;
    row.product = product_;
    bool is_new = false;
    // Only a missing row means "insert"; a failing database is not taken for one.
    try {
      row.ReadIt();
    } catch (const AppError& error) {
      if (error.Number() != vbObjectError + 5001) throw;
      is_new = true;
    }
    line = 30;
    auto take = [&](bool present, const std::string& value, std::string& field) {
      if (present)
        field = value;
      else if (is_new)
        field.clear();
    };
    take(IsAnalysisD_, AnalysisD_, row.AnalysisD);
    take(IsAnalysisE_, AnalysisE_, row.AnalysisE);
    take(IsAnalysisF_, AnalysisF_, row.AnalysisF);
    take(IsDeliveryQtyTolerance_, DeliveryQtyTolerance_, row.DeliveryQtyTol);
    take(IsCallOffQtyTolerance_, CallOffQtyTolerance_, row.CallOffQtyTol);
    take(IsConsumerUnit_, ConsumerUnit_, row.ConsumerUnit);
    line = 40;
    bool empty = true;
    for (const std::string* value : {&row.AnalysisD, &row.AnalysisE, &row.AnalysisF,
                                     &row.DeliveryQtyTol, &row.CallOffQtyTol, &row.ConsumerUnit})
      if (!ValueConvert::IsBlank(*value)) empty = false;
    line = 50;
    if (!is_new)
      row.UpdateStockXPg();
    else if (!empty)
      row.InsertRow();
  });
}

std::size_t clsOrvStock::Slot(std::size_t count, const char* list) const {
  if (ArrayIndex_ < 1 || static_cast<std::size_t>(ArrayIndex_) > count)
    throw AppError(VbError::kSubscriptOutOfRange, "",
                   "Subscript out of range: " + std::string(list) + " has no entry " +
                       std::to_string(ArrayIndex_) + " (1 to " + std::to_string(count) + ")");
  return static_cast<std::size_t>(ArrayIndex_ - 1);
}

const std::string& clsOrvStock::Alternatives() const {
  return Alternatives_[Slot(Alternatives_.size(), "Alternatives")];
}
void clsOrvStock::Alternatives(std::string value) {
  Alternatives_[Slot(Alternatives_.size(), "Alternatives")] = std::move(value);
}
bool clsOrvStock::IsAlternatives() const {
  return IsAlternatives_[Slot(IsAlternatives_.size(), "IsAlternatives")];
}
void clsOrvStock::IsAlternatives(bool value) {
  IsAlternatives_[Slot(IsAlternatives_.size(), "IsAlternatives")] = value;
}

const std::string& clsOrvStock::TechnicalDesc() const {
  return TechnicalDesc_[Slot(TechnicalDesc_.size(), "TechnicalDesc")];
}
void clsOrvStock::TechnicalDesc(std::string value) {
  TechnicalDesc_[Slot(TechnicalDesc_.size(), "TechnicalDesc")] = std::move(value);
}
bool clsOrvStock::IsTechnicalDesc() const {
  return IsTechnicalDesc_[Slot(IsTechnicalDesc_.size(), "IsTechnicalDesc")];
}
void clsOrvStock::IsTechnicalDesc(bool value) {
  IsTechnicalDesc_[Slot(IsTechnicalDesc_.size(), "IsTechnicalDesc")] = value;
}

bool clsOrvStock::HasTechnicalDescriptionLines() const {
  for (bool present : IsTechnicalDesc_)
    if (present) return true;
  return false;
}

std::string clsOrvStock::FormatPageNumber(const std::string& page) const {
  if (!IsPageNumber_) return HasTechnicalDescriptionLines() ? "001" : page;
  auto number = WholeNumber(page);
  if (!number || *number < 1 || *number > 999)
    throw AppError(kPageNumberInvalid, "", "Sheet number cannot be blank");
  return fmt::format("{:03}", *number);
}

std::string clsOrvStock::FullVersionDescription() const {
  return VersionInfo::DataLibrary() + "\r\n" + VersionInfo::GeneralLibrary();
}

}  // namespace orv
