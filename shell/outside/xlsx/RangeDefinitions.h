#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "shell/outside/xlsx/RangeDefinition.h"
#include "shell/outside/xlsx/RangeGroup.h"

namespace orv {

// What a range list knows of the ranges a component defines, whatever document it works on: the
// definitions in the order made, found by name without regard to case, and the groups. Defining
// a name again replaces its definition in place.
class RangeDefinitions {
 public:
  std::int32_t Count() const { return static_cast<std::int32_t>(definitions_.size()); }
  std::vector<RangeGroup>& Groups() { return groups_; }
  void Clear();
  // DefineRange's twelve arguments.
  RangeDefinition& Define(std::string name, std::int32_t layout, std::int32_t data_type,
                          std::int32_t reserved4, std::int32_t reserved5, std::string description,
                          std::int32_t length, std::int16_t reserved8, std::string reserved9,
                          bool browse, std::string browse_kind, std::string reserved12);
  // nullptr when no range of that name is defined.
  const RangeDefinition* Find(std::string_view name) const;
  const std::vector<std::unique_ptr<RangeDefinition>>& All() const { return definitions_; }

 private:
  std::vector<std::unique_ptr<RangeDefinition>> definitions_;
  std::unordered_map<std::string, std::size_t> index_;
  std::vector<RangeGroup> groups_;
};

}  // namespace orv
