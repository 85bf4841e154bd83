#include "techdesc/clsSTTechDescEx.h"

#include "options/clsOrvStockExOptions.h"
#include "ranges/clsOrvStockRanges.h"
#include "shell/ComponentIdentity.h"
#include "shell/outside/db/ConnectionManager.h"
#include "shell/outside/site/HostSite.h"
#include "shell/outside/xlsx/RangeList.h"
#include "shell/outside/xlsx/Workbook.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "techdesc/frmTechDescOptions.h"
#include "upload/clsOrvStock.h"

namespace orv {

clsSTTechDescEx::clsSTTechDescEx()
    : services_(clsOrvStockExOptions::kTechDescKeyPath),
      m_oOrvStock(std::make_shared<clsOrvStock>()),
      ranges_(std::make_unique<clsOrvStockRanges>()) {
  ranges_->SetOrvStock(m_oOrvStock);
}

clsSTTechDescEx::~clsSTTechDescEx() = default;

std::int32_t clsSTTechDescEx::Index() const { return ranges_->Index(); }
void clsSTTechDescEx::put_Index(std::int32_t index) { ranges_->SetIndex(index); }

HRESULT clsSTTechDescEx::QueryInterface(const IID& iid, void** object) {
  return Answer(iid, object,
                {{IID_clsSTTechDescExInterface, static_cast<_clsSTTechDescEx*>(this)},
                 {IID_HostComponent, static_cast<HostComponent*>(this)}});
}

void clsSTTechDescEx::SetSite(std::shared_ptr<HostSite> site) {
  services_.SetSite(std::move(site));
}

void clsSTTechDescEx::putref_wkbActive(std::shared_ptr<Workbook> workbook) {
  wkbActive_ = std::move(workbook);
  // A range list made over the previous workbook follows the new one; a host's own list stays.
  if (auto* list = dynamic_cast<XlsxRangeList*>(range_list_.get())) list->SetWorkbook(wkbActive_);
}

void clsSTTechDescEx::About() {
  Site().ui->ShowAbout(VersionDescription(), ProgramName(), ComponentIdentity::kComments);
}

std::string clsSTTechDescEx::VersionDescription() {
  return ComponentIdentity::VersionDescription();
}

std::string clsSTTechDescEx::FullVersionDescription() {
  return ComponentIdentity::FullVersionDescription(m_oOrvStock->FullVersionDescription());
}

void clsSTTechDescEx::SpecialBrowseCode(std::shared_ptr<Worksheet>&, bool& bDelete) {
  ComponentIdentity::SpecialBrowseCode(wkbActive_, BrowseComponentName(), bDelete);
}

void clsSTTechDescEx::SpecialShortcutCode(std::shared_ptr<Worksheet>&, bool& bDelete) {
  ComponentIdentity::SpecialShortcutCode(wkbActive_, BrowseComponentName(), bDelete);
}

bool clsSTTechDescEx::ChangeOrvConnection() {
  return services_.ChangeConnection("ChangeOrvConnection of Class Module clsSTTechDescEx : Line#:");
}

void clsSTTechDescEx::CloseConnection() { services_.Connections().Close(); }

RangeList& clsSTTechDescEx::List() {
  if (!range_list_) range_list_ = services_.NewRangeList(wkbActive_);
  return *range_list_;
}

void clsSTTechDescEx::SetUpRanges() {
  auto sheet = services_.ActiveSheet(wkbActive_);
  List().SetIncludeBlankCells(!services_.Options()->OnlyIgnoreBlankCells());
  List().SetHostFlags(true, true);
  ranges_->SetWarehouseAndProductAsHeader(true);
  ranges_->SetRangeList(range_list_);
  List().SetActiveSheet(std::move(sheet));
  if (List().RangeCount() == 0) {
    ranges_->DefineWarehouseAndProductRanges();
    ranges_->DefineTechnicalDescriptionRanges();
    ranges_->DefineSageCompanyRange();
  }
  List().EndDefinition();
}

void clsSTTechDescEx::AddRanges(Application& appCurrent) {
  Site().errors->Guard("AddRanges of Class Module clsSTTechDescEx", [&](int&) {
    SetUpRanges();
    List().SetRegistrationFlags(true, true);
    List().AddRanges(appCurrent, kTechDescProgId, true);
  });
}

void clsSTTechDescEx::ValidateRanges(RangeList& irList) {
  Trap("ValidateRanges of Class Module clsSTTechDescEx Line#:", [&](int& line) {
    line = 10;
    if (!irList.RangeExists("Warehouse"))
      throw AppError(vbObjectError, "", "Warehouse range must be present");
    line = 20;
    if (!irList.RangeExists("Product"))
      throw AppError(vbObjectError, "", "Product range must be present");
    line = 30;
    if (!irList.RangeExists("PageNumber"))
      throw AppError(vbObjectError, "", "Page Number range must be present");
  });
}

void clsSTTechDescEx::UploadTechnicalDescriptions() {
  throw ComponentIdentity::NotAvailable("UploadTechnicalDescriptions");
}

bool clsSTTechDescEx::BrowseAvailable(Range& Active_Cell) {
  bool available = false;
  Site().errors->Guard("BrowseAvailable of Class Module clsSTTechDescEx", [&](int&) {
    SetUpRanges();
    available =
        List().CellInRange("Warehouse", Active_Cell) || List().CellInRange("Product", Active_Cell);
  });
  return available;
}

void clsSTTechDescEx::BrowseRanges(Range&) {
  throw ComponentIdentity::NotAvailable("BrowseRanges");
}

void clsSTTechDescEx::DownloadTechnicalDescriptions() {
  throw ComponentIdentity::NotAvailable("DownloadTechnicalDescriptions");
}

void clsSTTechDescEx::EnterOptions() {
  Site().errors->Guard("EnterOptions of Class Module clsSTTechDescEx", [&](int&) {
    services_.Options()->LoadFromRegistry(true);
    frmTechDescOptions dialog;
    dialog.SetOptions(services_.Options());
    Site().ui->ShowModal(dialog);
    if (dialog.OKSelected()) services_.Options()->SaveToRegistry();
  });
}

void clsSTTechDescEx::ClearAllRanges() {
  if (!services_.ConfirmCleardown()) return;
  SetUpRanges();
  List().SetConfirmClear(true);
  List().ClearRanges(true, 0, 0);
}

}  // namespace orv
