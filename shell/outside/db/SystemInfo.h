#pragma once

#include <cstdint>
#include <string>

namespace orv {

class Connection;
class TableCatalogue;

// The company's system settings, read from the system table when the connection opens.
class SystemInfo {
 public:
  static constexpr std::int32_t kOldestVersion = 5;
  static constexpr std::int32_t kNewestVersion = 7;
  static constexpr std::int32_t kNoSystemTable = -2147221504 + 7010;  // vbObjectError + 7010
  static constexpr std::int32_t kUnknownVersion = -2147221504 + 7011;

  SystemInfo() = default;
  SystemInfo(std::int32_t version, std::int32_t cost_decimals, std::string default_unit)
      : version_(version), cost_decimals_(cost_decimals), default_unit_(std::move(default_unit)) {}

  // AppError naming the problem when the table is missing or empty, or the version is unknown.
  static SystemInfo Read(Connection& connection, const TableCatalogue& tables);

  // The ERP version number.
  std::int32_t Version() const { return version_; }
  // Decimal places to which the standard and current costs are rounded.
  std::int32_t CostDecimalPlaces() const { return cost_decimals_; }
  // The unit code a new stock record takes when the sheet gives none.
  const std::string& DefaultUnitCode() const { return default_unit_; }

 private:
  std::int32_t version_ = 0;
  std::int32_t cost_decimals_ = 2;
  std::string default_unit_;
};

}  // namespace orv
