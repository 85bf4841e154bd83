#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace orv {

class ConnectionManager;
class clsOrvStockExOptions;
struct HostSite;
class RangeList;
class Workbook;
class Worksheet;

// What both components hold alike: the host's site, the connection manager and the options
// object, with the connection members and the cleardown question built on them.
//
// Everything per-user comes from the site's profile. A component whose host lent it no site gets
// a standalone site with no profile: it still answers its identity, about box and help, but
// whatever needs a per-user file (companies, settings) fails with UserProfile::kNoProfile rather
// than reading the user's files from somewhere else.
class ComponentServices {
 public:
  // `settings_key`: the key path of the component's settings in the settings file.
  explicit ComponentServices(std::string_view settings_key);
  ~ComponentServices();
  ComponentServices(const ComponentServices&) = delete;
  ComponentServices& operator=(const ComponentServices&) = delete;

  // Hands the profile's companies file and the company of the run to the connection manager; the
  // options are read from the new profile from then on.
  void SetSite(std::shared_ptr<HostSite> site);
  // The host's site; a standalone one without a profile when the host lent none.
  HostSite& Site();
  ConnectionManager& Connections() { return *connection_manager_; }
  // The options object over the profile's settings file, made on first use.
  const std::shared_ptr<clsOrvStockExOptions>& Options();

  // Lets the user pick another company; an error is reported under `tag` and answers false.
  bool ChangeConnection(std::string_view tag);
  // "Confirm cleardown of data on sheet?" with OK and Cancel; true for OK.
  bool ConfirmCleardown();
  // frmPostConfirm over the open company; on Cancel (or the close box) says that nothing was
  // written, counts the run as failed and answers false.
  bool ConfirmPost();

  // The range list a component works through: the host's when it lends one for a live document,
  // else a new one over `workbook`.
  std::shared_ptr<RangeList> NewRangeList(const std::shared_ptr<Workbook>& workbook);
  // The sheet the user works on: the workbook's active sheet, or the host's when the component
  // was handed no workbook. AppError 91 when there is neither.
  std::shared_ptr<Worksheet> ActiveSheet(const std::shared_ptr<Workbook>& workbook);

 private:
  std::string settings_key_;
  std::shared_ptr<HostSite> site_;
  std::unique_ptr<ConnectionManager> connection_manager_;
  std::shared_ptr<clsOrvStockExOptions> options_;
};

}  // namespace orv
