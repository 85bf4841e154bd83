#include "shell/CalcSession.h"

#include <cstring>
#include <functional>

#include "shell/DllExports.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/calc/CalcApplication.h"
#include "shell/outside/calc/CalcCallbacks.h"
#include "shell/outside/calc/CalcCells.h"
#include "shell/outside/calc/CalcDocument.h"
#include "shell/outside/calc/CalcRangeList.h"
#include "shell/outside/calc/CalcUserInterface.h"
#include "shell/outside/com/IClassFactory.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/xlsx/Range.h"

namespace orv {
namespace {

const char* Flag(bool value) { return value ? "1" : "0"; }

// The members that belong to the stock component alone.
_clsOrvStockEx& Stock(HostComponent& component, std::string_view member) {
  ComPtr<_clsOrvStockEx> stock;
  if (component.QueryInterface(IID_clsOrvStockExInterface, stock.Receive()) != S_OK)
    throw CalcSession::NoSuchMember(std::string(member) + " is not a member of this component");
  return *stock.operator->();  // the session holds the component for the whole call
}

}  // namespace

struct CalcSession::Member {
  const char* name;
  std::function<std::string(HostComponent&, HostSite&)> run;
};

const CalcSession::Member* CalcSession::Find(std::string_view name) {
  static const Member kMembers[] = {
      {"AddRanges",
       [](HostComponent& c, HostSite& site) {
         c.AddRanges(*site.application);
         return std::string();
       }},
      {"ExtractStock",
       [](HostComponent& c, HostSite&) {
         Stock(c, "ExtractStock").ExtractStock();
         return std::string();
       }},
      {"UploadStock",
       [](HostComponent& c, HostSite&) {
         Stock(c, "UploadStock").UploadStock();
         return std::string();
       }},
      // The upload's pre-flight: every row through the rules and the writes in a transaction
      // that is rolled back, every failing row named.
      {"CheckUpload",
       [](HostComponent& c, HostSite& site) {
         auto& stock = Stock(c, "CheckUpload");
         site.upload_check = true;
         try {
           stock.UploadStock();
         } catch (...) {
           site.upload_check = false;
           throw;
         }
         site.upload_check = false;
         return std::string();
       }},
      {"ClearAllRanges",
       [](HostComponent& c, HostSite&) {
         c.ClearAllRanges();
         return std::string();
       }},
      {"EnterOptions",
       [](HostComponent& c, HostSite&) {
         c.EnterOptions();
         return std::string();
       }},
      {"ChangeOrvConnection",
       [](HostComponent& c, HostSite&) { return std::string(Flag(c.ChangeOrvConnection())); }},
      {"About",
       [](HostComponent& c, HostSite&) {
         c.About();
         return std::string();
       }},
      {"ShowHelpFile",
       [](HostComponent& c, HostSite&) {
         Stock(c, "ShowHelpFile").ShowHelpFile();
         return std::string();
       }},
      {"CloseConnection",
       [](HostComponent& c, HostSite&) {
         c.CloseConnection();
         return std::string();
       }},
      {"BrowseAvailable",
       [](HostComponent& c, HostSite& site) {
         Range cell = site.application->ActiveCell();
         return std::string(Flag(c.BrowseAvailable(cell)));
       }},
      {"BrowseRanges",
       [](HostComponent& c, HostSite& site) {
         Range cell = site.application->ActiveCell();
         c.BrowseRanges(cell);
         return std::string();
       }},
      {"BrowseStock",
       [](HostComponent& c, HostSite& site) {
         Range cell = site.application->ActiveCell();
         Stock(c, "BrowseStock").BrowseStock(cell);
         return std::string();
       }},
      {"ViewStock",
       [](HostComponent& c, HostSite& site) {
         Range cell = site.application->ActiveCell();
         Stock(c, "ViewStock").ViewStock(cell);
         return std::string();
       }},
      {"ViewStockAvailable",
       [](HostComponent& c, HostSite&) {
         return std::string(Flag(Stock(c, "ViewStockAvailable").ViewStockAvailable()));
       }},
      {"ProgramName", [](HostComponent& c, HostSite&) { return c.ProgramName(); }},
      {"VersionDescription", [](HostComponent& c, HostSite&) { return c.VersionDescription(); }},
      {"FullVersionDescription",
       [](HostComponent& c, HostSite&) { return c.FullVersionDescription(); }},
      {"BrowseComponentName", [](HostComponent& c, HostSite&) { return c.BrowseComponentName(); }},
  };
  for (const auto& member : kMembers)
    if (name == member.name) return &member;
  return nullptr;
}

CalcSession::CalcSession(std::string_view prog_id, const OrvCalcHost& host) : host_{} {
  // A host built against an older, shorter table leaves the newer callbacks empty.
  std::memcpy(&host_, &host, std::min<std::size_t>(host.size, sizeof host_));
  title_ = host_.title ? host_.title : "";
  company_ = host_.company ? host_.company : "";
  companies_file_ = host_.companies_file ? host_.companies_file : "";
  host_.title = title_.c_str();
  host_.company = company_.c_str();
  host_.companies_file = companies_file_.c_str();

  auto clsid = ServedClassOf(prog_id);
  if (!clsid)
    throw AppError(REGDB_E_CLASSNOTREG, "",
                   "\"" + std::string(prog_id) + "\" is not a component of this library");
  ComPtr<IClassFactory> factory;
  HRESULT made = DllGetClassObject(&*clsid, &IID_IClassFactory, factory.Receive());
  if (made == S_OK)
    made = factory->CreateInstance(nullptr, IID_HostComponent, component_.Receive());
  if (made != S_OK || !component_)
    throw AppError(made, "", "The component \"" + std::string(prog_id) + "\" could not be made");

  callbacks_ = std::make_unique<CalcCallbacks>(host_);
  cells_ = std::make_shared<CalcCells>(*callbacks_);
  auto document = std::make_shared<CalcDocument>(*callbacks_, cells_);
  list_ = std::make_shared<CalcRangeList>(*callbacks_, cells_, document);
  // The host is another program than orvstock, but its user's profile is found the same way,
  // from the environment it answers for.
  site_ = HostSite::Make(
      std::make_shared<CalcUserInterface>(*callbacks_),
      UserProfile::Resolve([this](const char* name) { return callbacks_->Environment(name); },
                           companies_file_));
  site_->application = std::make_shared<CalcApplication>(*callbacks_, document);
  site_->range_list = list_;
  site_->company = company_;
  component_->SetSite(site_);
  component_->put_Index(1);
}

CalcSession::~CalcSession() {
  try {
    if (component_) component_->CloseConnection();
  } catch (...) {  // the connection goes with the component either way
  }
}

CalcSession::Outcome CalcSession::Call(std::string_view name, std::string& result) {
  const Member* member = Find(name);
  if (!member) throw NoSuchMember("There is no member " + std::string(name));
  result.clear();
  list_->Forget();
  const int reported = site_->errors->ReportedCount();
  const int failures = site_->errors->FailureCount();
  // A member without a handler of its own hands its error to the host, which reports it.
  try {
    result = member->run(*component_, *site_);
  } catch (const NoSuchMember&) {
    cells_->Discard();
    throw;
  } catch (const AppError& error) {
    site_->errors->Report(error);
  } catch (const std::exception& error) {
    site_->errors->Report(AppError(kUnexpectedError, "OrvStockExcel", error.what()));
  }
  if (site_->errors->ReportedCount() != reported) {
    cells_->Discard();
    return Outcome::kReported;
  }
  try {
    cells_->Commit();
  } catch (const AppError& error) {
    site_->errors->Report(error);
    return Outcome::kReported;
  }
  // Ended without its work, with nothing more to show (declined, rows named already): what it
  // did write stays, as the command-line host keeps it.
  return site_->errors->FailureCount() != failures ? Outcome::kFailed : Outcome::kDone;
}

const std::string& CalcSession::Company() const { return site_->company; }

}  // namespace orv
