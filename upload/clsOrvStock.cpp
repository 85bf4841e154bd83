#include "upload/clsOrvStock.h"

#include "shell/outside/AppError.h"

namespace orv {
namespace {

constexpr std::int32_t kSubscriptOutOfRange = 9;

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

}  // namespace orv
