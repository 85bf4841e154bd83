#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "shell/HostComponent.h"
#include "shell/outside/base/FileLock.h"
#include "shell/outside/com/ComPtr.h"
#include "shell/outside/com/ComponentFactory.h"
#include "shell/outside/site/HostSite.h"

namespace orv {

class Workbook;

// One run of the host against one component: create it by ProgID, lend it the site, hand it the
// workbook and the row, let it define its ranges, run the action, close the connection, release,
// and save the workbook when the action went through. The workbook is locked against other runs
// from opening to saving, and refused at once when the user may not write it. What the action
// reports as done (its summary) is printed only once the work is saved.
class HostSession {
 public:
  struct Options {
    // Empty: the component recorded in the workbook, else the stock component.
    std::string prog_id;
    std::deque<std::string> answers;
    std::string company;
    std::filesystem::path workbook;
    std::string sheet;
    std::string cell;
    // Answers given for every showing of a dialog, by the dialog's name.
    std::map<std::string, std::string> standing_answers;
    bool upload_check = false;
    // The search a list picker opens with instead of the cell's text.
    std::string picker_search;
    // Errors with their numbers and the routines they passed through.
    bool verbose = false;
  };

  // `profile`: the user's files, lent to the component through the site; the components are
  // registered in its registration file when they are not registered there yet.
  HostSession(Options options, UserProfile profile);
  ~HostSession();

  // Runs `action` on a fresh component; not when handing it the workbook's ranges reported an
  // error. Errors the component reports, and errors that escape a member without a handler of
  // its own (which the host then reports), make the result 1; the workbook is then left as it
  // was on disk. A run that counted a failure without reporting an error (a declined question,
  // rows that failed and were named) also gives 1, after the save.
  int Run(const std::function<void(HostComponent&)>& action);

  HostSite& Site() { return *site_; }
  // Whether the last Run wrote the workbook (it is written only when the action changed it).
  bool Saved() const { return saved_; }

 private:
  void OpenWorkbook();
  void SaveWorkbook();

  Options options_;
  std::ostringstream summary_;
  std::shared_ptr<HostSite> site_;
  std::unique_ptr<FileLock> lock_;
  ComponentFactory factory_;
  std::shared_ptr<Workbook> workbook_;
  bool saved_ = false;
};

}  // namespace orv
