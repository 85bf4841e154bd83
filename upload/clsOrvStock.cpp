#include "upload/clsOrvStock.h"

#include <fmt/format.h>

#include <charconv>
#include <optional>

#include "shell/outside/AppError.h"
#include "shell/outside/VersionInfo.h"

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

std::size_t clsOrvStock::Slot(std::size_t count, const char* list) const {
  if (ArrayIndex_ < 1 || static_cast<std::size_t>(ArrayIndex_) > count)
    throw AppError(kSubscriptOutOfRange, "",
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
