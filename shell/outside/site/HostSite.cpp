#include "shell/outside/site/HostSite.h"

namespace orv {

std::shared_ptr<HostSite> HostSite::Make(std::shared_ptr<UserInterface> ui) {
  auto site = std::make_shared<HostSite>();
  site->errors = std::make_shared<ErrorReporter>(ui);
  site->ui = std::move(ui);
  return site;
}

}  // namespace orv
