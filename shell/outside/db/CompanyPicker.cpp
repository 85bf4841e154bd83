#include "shell/outside/db/CompanyPicker.h"

#include "shell/outside/ui/UserInterface.h"

namespace orv {

CompanyPicker::CompanyPicker(const std::vector<CompanyEntry>& companies)
    : Form("frmCompanyPicker", "Choose company"),
      cboCompany_(AddComboBox("cboCompany", "Company")) {
  std::vector<ComboBox::Row> rows;
  for (const auto& company : companies) rows.push_back({company.code, company.description});
  cboCompany_.SetArray(std::move(rows));
  cboCompany_.ColumnCaptions = {"Company", "Description"};
  auto& ok = AddCommandButton("cmdOK", "OK");
  ok.Click = [this] {
    SetOKSelected(true);
    Hide();
  };
  auto& cancel = AddCommandButton("cmdCancel", "Cancel");
  cancel.Click = [this] { Hide(); };
}

std::optional<std::string> CompanyPicker::Choose(UserInterface& ui,
                                                 const std::vector<CompanyEntry>& companies) {
  CompanyPicker picker(companies);
  ui.ShowModal(picker);
  if (!picker.OKSelected()) return std::nullopt;
  for (const auto& row : picker.cboCompany_.Rows())
    if (row[0] == picker.cboCompany_.Text) return row[0];
  ui.Notice("\"" + picker.cboCompany_.Text + "\" is not a company of the list");
  return std::nullopt;
}

}  // namespace orv
