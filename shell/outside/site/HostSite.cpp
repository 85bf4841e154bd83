#include "shell/outside/site/HostSite.h"

namespace orv {

std::shared_ptr<HostSite> HostSite::Make(std::shared_ptr<UserInterface> ui, UserProfile profile) {
  auto site = std::make_shared<HostSite>();
  site->profile = std::move(profile);
  site->errors = std::make_shared<ErrorReporter>(ui);
  site->ui = std::move(ui);
  return site;
}

}  // namespace orv
