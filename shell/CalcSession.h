#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "shell/HostComponent.h"
#include "shell/outside/calc/CalcHost.h"
#include "shell/outside/com/ComPtr.h"

namespace orv {

class CalcCallbacks;
class CalcCells;
class CalcRangeList;
struct HostSite;

// One component on a document that a spreadsheet program holds open, for a host that drives the
// library through its C interface (CalcExports.h). The host's callbacks become the component's
// site: its range list, its application (active sheet and cell) and its user interface. Each call
// ends by writing the call's changes into the document, or by dropping them when the call
// reported an error, so a failed action leaves the document as it was.
class CalcSession {
 public:
  // The component served under `prog_id`, with the host lent and the row set to 1. AppError for a
  // ProgID this library does not serve.
  CalcSession(std::string_view prog_id, const OrvCalcHost& host);
  // Closes the connection and releases the component.
  ~CalcSession();
  CalcSession(const CalcSession&) = delete;
  CalcSession& operator=(const CalcSession&) = delete;

  // A member name the component does not answer to.
  class NoSuchMember : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
  };
  // kReported: an error was shown and the call's changes dropped. kFailed: the member ended
  // without its work and with nothing more to show (the user declined, failing rows were named);
  // what it wrote stays.
  enum class Outcome { kDone, kReported, kFailed };
  // Runs the member. An error that leaves the member is reported to the user as the host would
  // report it. NoSuchMember for a member this component does not have; AppError when even the
  // report failed.
  Outcome Call(std::string_view member, std::string& result);
  // The company chosen for the host's session (see orv_calc_company).
  const std::string& Company() const;

 private:
  struct Member;
  static const Member* Find(std::string_view name);

  OrvCalcHost host_;
  std::string title_, company_, companies_file_;
  std::unique_ptr<CalcCallbacks> callbacks_;
  std::shared_ptr<CalcCells> cells_;
  std::shared_ptr<CalcRangeList> list_;
  std::shared_ptr<HostSite> site_;
  ComPtr<HostComponent> component_;
};

}  // namespace orv
