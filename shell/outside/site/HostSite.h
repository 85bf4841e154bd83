#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "shell/outside/ui/ErrorReporter.h"
#include "shell/outside/ui/UserInterface.h"

namespace orv {

class Application;
class FaultPlan;

// What the host lends a component for its lifetime: the user interface its dialogs and messages
// go to, the error reporter, and the host's choices for this run.
struct HostSite {
  std::shared_ptr<UserInterface> ui;
  std::shared_ptr<ErrorReporter> errors;
  // The spreadsheet program: its active sheet and cell (null before a workbook is open).
  std::shared_ptr<Application> application;
  // The companies file given on the command line; empty for the per-user default.
  std::filesystem::path companies_file;
  // The company chosen for this run; a workbook's "sage_company" cell still wins.
  std::string company;
  // An upload only checks: every row runs through the rules and the writes inside a transaction
  // that is rolled back, failing rows are named and the run goes on; nothing is asked.
  bool upload_check = false;
  // The search a list picker opens with instead of the cell's text (orvstock browse --search).
  std::string picker_search;
  // Failures a test plans for the component's database connection; null in every real run.
  std::shared_ptr<FaultPlan> database_faults;

  static std::shared_ptr<HostSite> Make(std::shared_ptr<UserInterface> ui);
};

}  // namespace orv
