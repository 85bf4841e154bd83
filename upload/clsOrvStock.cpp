#include "upload/clsOrvStock.h"

#include <fmt/format.h>

#include <charconv>
#include <optional>

#include "records/CompanionColumns.h"
#include "records/clsStockXpgm.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/base/Trap.h"
#include "shell/outside/base/ValueConvert.h"
#include "shell/outside/base/VersionInfo.h"
#include "shell/outside/db/DataConnection.h"

namespace orv {
namespace {

constexpr std::int32_t kSubscriptOutOfRange = 9;
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
    auto extension_fields = [](auto&& each) {
      for (std::size_t i = 0; i < StockFields::kCount; ++i)
        if (StockFields::kAll[i].home == StockFields::Home::Extension) each(i);
    };
    bool any_present = false;
    extension_fields([&](std::size_t i) { any_present = any_present || present_[Slot(i)]; });
    if (!any_present) return;
    line = 20;
    if (!xpgm_) {
      xpgm_ = std::make_unique<clsStockXpgm>();
      xpgm_->SetSageConnection(SageConnection());
    }
    clsStockXpgm& row = *xpgm_;
    row.Set("warehouse", Text("warehouse"));
    row.Set("product", Text("product"));
    bool is_new = false;
    // Only a missing row means "insert"; a failing database is not taken for one.
    try {
      row.ReadIt();
    } catch (const AppError& error) {
      if (error.Number() != vbObjectError + 5001) throw;
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
      if (!ValueConvert::IsBlank(row.At(column))) empty = false;
    });
    line = 50;
    if (!is_new)
      row.UpdateStockXPg();
    else if (!empty)
      row.InsertRow();
  });
}

std::size_t clsOrvStock::Slot(std::size_t field) const {
  const StockFields::Field& f = StockFields::kAll[field];
  std::size_t slot = StockFields::FirstSlot(field);
  if (f.count == 1) return slot;
  if (ArrayIndex_ < 1 || ArrayIndex_ > f.count)
    throw AppError(kSubscriptOutOfRange, "",
                   "Subscript out of range: " + std::string(f.property) + " has no entry " +
                       std::to_string(ArrayIndex_) + " (1 to " + std::to_string(f.count) + ")");
  return slot + static_cast<std::size_t>(ArrayIndex_ - 1);
}

std::int16_t clsOrvStock::Whole(WholeField field) const {
  return static_cast<std::int16_t>(number_[Slot(field.index)]);
}

bool clsOrvStock::HasTechnicalDescriptionLines() const {
  constexpr std::size_t first = StockFields::FirstSlot(StockFields::Find("TechnicalDesc"));
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

std::string clsOrvStock::FullVersionDescription() const {
  return VersionInfo::DataLibrary() + "\r\n" + VersionInfo::GeneralLibrary();
}

}  // namespace orv
