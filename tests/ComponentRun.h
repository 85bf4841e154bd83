#pragma once

// The two components driven as a host drives them, over real .xlsx workbooks laid out from their
// own range catalogues.

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ranges/clsOrvStockRanges.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/FaultPlan.h"
#include "shell/outside/ui/DialogHost.h"
#include "shell/outside/xlsx/Application.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/WorkbookTemplate.h"
#include "shell/outside/xlsx/XlsxDocument.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "techdesc/_clsSTTechDescEx.h"
#include "tests/TestSupport.h"

namespace orv::test {

// A new workbook at `path` of `rows` data rows holding the picked ranges (all when none) of the
// stock catalogue of that ERP version, or of the technical description component's catalogue;
// `owner` is recorded as the component the workbook belongs to.
inline void StockWorkbook(const std::filesystem::path& path, const std::vector<std::string>& picks,
                          int rows, int erp_version = 7, const std::string& owner = "",
                          bool pages = false) {
  auto catalogue = std::make_shared<XlsxRangeList>();
  clsOrvStockRanges ranges;
  ranges.SetRangeList(catalogue);
  ranges.DefineWorkbookRanges(erp_version, pages);
  WorkbookTemplate::Options options;
  options.rows = rows;
  options.owner_prog_id = owner;
  options.replace_existing = true;
  WorkbookTemplate::Create(path, WorkbookTemplate::Select(catalogue->Definitions(), picks),
                           options);
}

inline void PageWorkbook(const std::filesystem::path& path, const std::vector<std::string>& picks,
                         int rows, const std::string& owner = "") {
  StockWorkbook(path, picks, rows, 7, owner, true);
}

// A scripted user who also keeps each dialog as it looked when it closed.
class SeeingUI : public ScriptedUI {
 public:
  using ScriptedUI::ScriptedUI;
  void ShowModal(Form& form) override {
    try {
      ScriptedUI::ShowModal(form);
    } catch (...) {
      shown.push_back(DialogHost::Describe(form));
      throw;
    }
    shown.push_back(DialogHost::Describe(form));
  }
  std::vector<std::string> shown;
};

// What one member call left behind.
struct RunResult {
  std::vector<std::string> messages;  // every message box, in order
  std::string notices, summary;
  int errors = 0;    // reported to the user
  int failures = 0;  // work not done, reported or not
  std::size_t unused_answers = 0;
  std::vector<std::string> shown;  // each dialog as it closed
  bool changed = false;            // the call changed the workbook
  std::string Output() const { return notices + summary; }
};

// How the host sets the run up.
struct HostSetup {
  std::filesystem::path companies_file;  // empty: the profile's
  std::string company;
  std::string active_cell;
  bool upload_check = false;
  std::function<void(Workbook&)> edit;  // changes the opened workbook before the component sees it
  bool save_after_error = true;
  std::map<std::string, std::string> standing;  // a dialog's answer for every showing
  std::shared_ptr<FaultPlan> database_faults;
};

// One member call as the host makes it: the workbook opened, a new component given the site
// (whose user answers `answers`), the workbook and its ranges; `action` unless setting the ranges
// up reported an error, the connection closed, and the workbook saved.
template <class Component>
RunResult RunComponent(const CLSID& clsid, const IID& iid, const std::filesystem::path& path,
                       std::deque<std::string> answers,
                       const std::function<void(Component&, Workbook&)>& action,
                       const HostSetup& setup = {}) {
  std::ostringstream notices, summary;
  auto ui = std::make_shared<SeeingUI>(std::move(answers), notices, summary);
  for (const auto& [form, answer] : setup.standing) ui->SetStandingAnswer(form, answer);
  UserProfile profile = Profile();
  if (!setup.companies_file.empty()) profile.companies_file = setup.companies_file;
  auto site = HostSite::Make(ui, profile);
  site->company = setup.company;
  site->upload_check = setup.upload_check;
  site->download_at_active_cell = !setup.active_cell.empty();
  site->database_faults = setup.database_faults;
  auto workbook = Workbook::Open(path);
  if (setup.edit) setup.edit(*workbook);
  site->application = std::make_shared<Application>(workbook);
  if (!setup.active_cell.empty()) site->application->SetActiveCell(setup.active_cell);
  auto component = Make<Component>(clsid, iid);
  component->SetSite(site);
  component->putref_wkbActive(workbook);
  component->put_Index(1);
  component->AddRanges(*site->application);
  if (site->errors->ReportedCount() == 0) action(*component, *workbook);
  component->CloseConnection();
  RunResult result{ui->Messages(),
                   "",
                   "",
                   site->errors->ReportedCount(),
                   site->errors->FailureCount(),
                   ui->RemainingAnswers(),
                   ui->shown,
                   workbook->Document().HasChanges()};
  if (setup.save_after_error || result.errors == 0) workbook->Save();
  result.notices = notices.str();
  result.summary = summary.str();
  return result;
}

inline RunResult RunStock(const std::filesystem::path& path, std::deque<std::string> answers,
                          const std::function<void(_clsOrvStockEx&, Workbook&)>& action,
                          const HostSetup& setup = {}) {
  return RunComponent<_clsOrvStockEx>(CLSID_clsOrvStockEx, IID_clsOrvStockExInterface, path,
                                      std::move(answers), action, setup);
}

inline RunResult RunPages(const std::filesystem::path& path, std::deque<std::string> answers,
                          const std::function<void(_clsSTTechDescEx&, Workbook&)>& action,
                          const HostSetup& setup = {}) {
  return RunComponent<_clsSTTechDescEx>(CLSID_clsSTTechDescEx, IID_clsSTTechDescExInterface, path,
                                        std::move(answers), action, setup);
}

}  // namespace orv::test
