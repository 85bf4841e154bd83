#pragma once

#include <memory>
#include <string_view>

namespace orv {

class ConnectionManager;
struct HostSite;
class RangeList;
class Workbook;
class Worksheet;

// What both components hold alike: the host's site and the connection manager, with the
// connection members and the cleardown question built on them.
class ComponentServices {
 public:
  ComponentServices();
  ~ComponentServices();
  ComponentServices(const ComponentServices&) = delete;
  ComponentServices& operator=(const ComponentServices&) = delete;

  // Hands the host's companies file and company of the run to the connection manager.
  void SetSite(std::shared_ptr<HostSite> site);
  // The host's site; a standalone one when the host lent none.
  HostSite& Site();
  ConnectionManager& Connections() { return *connection_manager_; }

  // Lets the user pick another company; an error is reported under `tag` and answers false.
  bool ChangeConnection(std::string_view tag);
  // "Confirm cleardown of data on sheet?" with OK and Cancel; true for OK.
  bool ConfirmCleardown();

  // The range list a component works through: the host's when it lends one for a live document,
  // else a new one over `workbook`.
  std::shared_ptr<RangeList> NewRangeList(const std::shared_ptr<Workbook>& workbook);
  // The sheet the user works on: the workbook's active sheet, or the host's when the component
  // was handed no workbook. AppError 91 when there is neither.
  std::shared_ptr<Worksheet> ActiveSheet(const std::shared_ptr<Workbook>& workbook);

 private:
  std::shared_ptr<HostSite> site_;
  std::unique_ptr<ConnectionManager> connection_manager_;
};

}  // namespace orv
