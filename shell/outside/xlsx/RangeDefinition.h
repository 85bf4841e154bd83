#pragma once

#include <cstdint>
#include <string>

namespace orv {

// One named range as the catalogue registers it. The constructor takes DefineRange's twelve
// arguments; the caller then sets the properties below them.
struct RangeDefinition {
  enum Layout : std::int32_t { kHeaderCell = 0, kColumn = 1 };
  enum DataType : std::int32_t { kText = 0, kNumber = 1, kDate = 2, kWholeNumber = 3 };

  std::string name;
  std::int32_t layout = kColumn;
  std::int32_t data_type = kText;
  std::int32_t reserved4 = 0;
  std::int32_t reserved5 = 0;
  std::string description;
  std::int32_t length = 0;
  std::int16_t reserved8 = 0;
  std::string reserved9;
  bool browse = false;
  std::string browse_kind;  // "company" for the company range
  std::string reserved12;

  std::string Heading;
  std::string GroupKey;
  bool DownloadOnly = false;
  std::string BrowseList;
  bool BrowseFromList = false;
  bool KeyRange = false;
  std::int32_t CodeOption = 0;
  bool CompanyRange = false;
};

}  // namespace orv
