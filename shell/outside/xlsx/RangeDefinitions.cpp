#include "shell/outside/xlsx/RangeDefinitions.h"

#include <cctype>

namespace orv {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace

void RangeDefinitions::Clear() {
  definitions_.clear();
  index_.clear();
}

RangeDefinition& RangeDefinitions::Define(std::string name, std::int32_t layout,
                                          std::int32_t data_type, std::int32_t reserved4,
                                          std::int32_t reserved5, std::string description,
                                          std::int32_t length, std::int16_t reserved8,
                                          std::string reserved9, bool browse,
                                          std::string browse_kind, std::string reserved12) {
  auto definition = std::make_unique<RangeDefinition>();
  definition->name = std::move(name);
  definition->layout = layout;
  definition->data_type = data_type;
  definition->reserved4 = reserved4;
  definition->reserved5 = reserved5;
  definition->description = std::move(description);
  definition->length = length;
  definition->reserved8 = reserved8;
  definition->reserved9 = std::move(reserved9);
  definition->browse = browse;
  definition->browse_kind = std::move(browse_kind);
  definition->reserved12 = std::move(reserved12);
  auto key = Lower(definition->name);
  if (auto found = index_.find(key); found != index_.end()) {
    definitions_[found->second] = std::move(definition);
    return *definitions_[found->second];
  }
  index_.emplace(key, definitions_.size());
  definitions_.push_back(std::move(definition));
  return *definitions_.back();
}

const RangeDefinition* RangeDefinitions::Find(std::string_view name) const {
  auto found = index_.find(Lower(name));
  return found == index_.end() ? nullptr : definitions_[found->second].get();
}

}  // namespace orv
