#include "browse/CellBrowse.h"

#include <chrono>

#include "browse/SqlListSource.h"
#include "shell/outside/db/CompanyPicker.h"
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/db/DataConnection.h"
#include "shell/outside/ui/CodeList.h"
#include "shell/outside/ui/DatePicker.h"
#include "shell/outside/ui/UserInterface.h"
#include "shell/outside/xlsx/CellDates.h"
#include "shell/outside/xlsx/Range.h"

namespace orv {
namespace {

OleDate Today() {
  using namespace std::chrono;
  auto days = floor<std::chrono::days>(system_clock::now()).time_since_epoch().count();
  return OleDate{static_cast<double>(days) + 25569};  // 01/01/1970 is OLE day 25569
}

}  // namespace

bool CellBrowse::ChooseDate(UserInterface& ui, const Range& cell) {
  DatePicker picker(&CellDates::ParseText, Today());
  Variant value = cell.Value();
  std::string problem;
  if (value.IsDate())
    picker.SetDate(value.ToDate());
  else if (value.IsText())
    picker.SetDate(CellDates::ParseText(value.ToText(), problem));
  ui.ShowModal(picker);
  auto date = picker.Date();
  if (!date) return false;
  cell.SetValue(Variant(*date));
  return true;
}

bool CellBrowse::ChooseCompany(UserInterface& ui, ConnectionManager& manager, const Range& cell) {
  manager.RefreshCompanyList();
  std::optional<std::string> company;
  try {
    company = CompanyPicker::Choose(ui, manager.CompanyList());
  } catch (...) {
    manager.EndCompanyChoice();
    throw;
  }
  manager.EndCompanyChoice();
  if (!company || company->empty()) return false;
  cell.SetValue(Variant(*company));
  return true;
}

bool CellBrowse::ChooseBin(UserInterface& ui, std::shared_ptr<DataConnection> connection,
                           const std::string& warehouse, const std::string& search,
                           const Range& cell) {
  std::string sql = "select bin_code,warehouse, bin_status, comments  from " +
                    connection->TableCatalogue().Bins() + " where warehouse = ?";
  CodeList picker(
      "Bins of warehouse " + warehouse,
      std::make_shared<SqlListSource>(std::move(connection), std::move(sql),
                                      std::vector<Variant>{Variant(warehouse)}, "bin_code"));
  picker.SetSearchText(search);
  ui.ShowModal(picker);
  std::string code = picker.Code();
  if (code.empty()) return false;
  cell.SetValue(Variant(code));
  return true;
}

}  // namespace orv
