#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "shell/HostComponent.h"
#include "shell/outside/ComPtr.h"
#include "shell/outside/ComponentFactory.h"
#include "shell/outside/HostSite.h"

namespace orv {

// One run of the host against one component: create it by ProgID, lend it the site, hand it the
// workbook and the row, let it define its ranges, run the action, close the connection, release.
class HostSession {
 public:
  struct Options {
    std::string prog_id;
    std::deque<std::string> answers;
    std::filesystem::path companies_file;
    std::string company;
  };

  explicit HostSession(Options options);
  ~HostSession();

  // Runs `action` on a fresh component. Errors the component reports, and errors that escape a
  // member without a handler of its own (which the host then reports), make the result 1.
  int Run(const std::function<void(HostComponent&)>& action);

  HostSite& Site() { return *site_; }

 private:
  Options options_;
  std::shared_ptr<HostSite> site_;
  ComponentFactory factory_;
};

}  // namespace orv
