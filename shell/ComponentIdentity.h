#pragma once

#include <string>
#include <string_view>

#include <memory>

#include "shell/outside/base/AppError.h"

namespace orv {

class Workbook;

// What both components say about themselves.
class ComponentIdentity {
 public:
  // Handed to the connection object by every component right after its manager is created.
  static constexpr char kKeyString[] = "orvstk(2k7)x";
  static constexpr char kComments[] =
      "Maintains the ERP stock master file and technical descriptions from a spreadsheet workbook.";
  static constexpr char kHelpPage[] = "Stock%20Master.html";

  // "OrvStockExcel: 1.0.12"
  static std::string VersionDescription();
  // The library, the business object's description, the data and the general layer, one a line.
  static std::string FullVersionDescription(std::string_view business_object);
  // Adds (or removes) the component's browse code in the workbook, then its "View Stock" shortcut.
  static void SpecialBrowseCode(const std::shared_ptr<Workbook>& workbook,
                                const std::string& browse_component, bool remove);
  // Adds (or removes) the shortcut macro browse_component + "ViewStock", caption "View Stock".
  static void SpecialShortcutCode(const std::shared_ptr<Workbook>& workbook,
                                  const std::string& browse_component, bool remove);
};

}  // namespace orv
