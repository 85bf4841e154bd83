#pragma once

#include <memory>
#include <string>

#include "shell/outside/site/UserProfile.h"
#include "shell/outside/ui/ErrorReporter.h"
#include "shell/outside/ui/UserInterface.h"

namespace orv {

class Application;
class RangeList;
class FaultPlan;

// What the host lends a component for its lifetime: the user interface its dialogs and messages
// go to, the error reporter, the user's profile, and the host's choices for this run.
struct HostSite {
  std::shared_ptr<UserInterface> ui;
  std::shared_ptr<ErrorReporter> errors;
  // The spreadsheet program: its active sheet and cell (null before a workbook is open).
  std::shared_ptr<Application> application;
  // The range list of a live document that the host holds open and hands no workbook file for;
  // null when each component makes its own over the workbook it is handed.
  std::shared_ptr<RangeList> range_list;
  // The user's files, as the host resolved them.
  UserProfile profile;
  // The company chosen for this run; a workbook's "sage_company" cell still wins. A company the
  // user picks through ChangeOrvConnection becomes the choice of the run.
  std::string company;
  // An upload only checks: every row runs through the rules and the writes inside a transaction
  // that is rolled back, failing rows are named and the run goes on; nothing is asked.
  bool upload_check = false;
  // The search a list picker opens with instead of the cell's text (orvstock browse --search).
  std::string picker_search;
  // A download of every page of a stock item fills the rows below the active cell's row instead
  // of starting at the first row (orvstock extract --at-cell on a page workbook).
  bool download_at_active_cell = false;
  // Failures a test plans for the component's database connection; null in every real run.
  std::shared_ptr<FaultPlan> database_faults;

  static std::shared_ptr<HostSite> Make(std::shared_ptr<UserInterface> ui, UserProfile profile);
};

}  // namespace orv
