#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shell/outside/db/CompaniesFile.h"
#include "shell/outside/ui/Form.h"

namespace orv {

class UserInterface;

// The company picker: the companies of the companies file in a list; OK takes the chosen code.
class CompanyPicker : public Form {
 public:
  explicit CompanyPicker(const std::vector<CompanyEntry>& companies);

  // Shows the picker; nullopt when the user cancelled or chose a code that is not listed.
  static std::optional<std::string> Choose(UserInterface& ui,
                                           const std::vector<CompanyEntry>& companies);
  // Picks a company by its code (checked when the picker is closed with OK).
  void Pick(std::string_view code) override { cboCompany_.Text = std::string(code); }

 private:
  ComboBox& cboCompany_;
};

}  // namespace orv
