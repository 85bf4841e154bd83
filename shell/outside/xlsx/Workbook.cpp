#include "shell/outside/xlsx/Workbook.h"

#include "shell/outside/xlsx/AreaReference.h"
#include "shell/outside/xlsx/Range.h"
#include "shell/outside/xlsx/RangeNames.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/Worksheet.h"

namespace orv {

std::shared_ptr<Workbook> Workbook::Open(const std::filesystem::path& path,
                                         const ZipLimits& limits) {
  return std::make_shared<Workbook>(XlsxDocument::Open(path, limits));
}

Workbook::Workbook(std::unique_ptr<XlsxDocument> document) : document_(std::move(document)) {
  for (std::size_t i = 0; i < document_->SheetCount(); ++i) {
    sheets_.push_back(std::make_shared<Worksheet>(document_, i));
  }
  active_ = document_->ActiveTab();
}

std::shared_ptr<Worksheet> Workbook::SheetNamed(std::string_view name) const {
  auto index = document_->FindSheet(name);
  return index ? sheets_[*index] : nullptr;
}

void Workbook::ActivateSheet(const Worksheet& sheet) {
  if (&sheet.Document() != document_.get()) {
    throw WorkbookError(FullName().string(),
                        "sheet '" + sheet.Name() + "' belongs to another workbook");
  }
  if (sheet.Index() == active_) return;
  active_ = sheet.Index();
  sheet_activate_.Raise(*sheets_[active_]);
}

std::optional<Range> Workbook::NamedRange(std::string_view name,
                                          const Worksheet* local_sheet) const {
  const XlsxDocument::DefinedName* found = nullptr;
  for (const auto& candidate : Names()) {
    if (!RangeNames::Same(candidate.name, name)) continue;
    if (!candidate.local_sheet) {
      found = &candidate;
      break;
    }
    if (local_sheet != nullptr && *candidate.local_sheet == local_sheet->Index() &&
        found == nullptr) {
      found = &candidate;
    }
  }
  if (found == nullptr) return std::nullopt;
  auto area = AreaReference::Parse(found->formula, FullName().string(), found->name);
  auto sheet = SheetNamed(area.sheet);
  if (!sheet) {
    throw WorkbookError(FullName().string(), "defined name '" + found->name + "' (" +
                                                 found->formula + ") points to sheet '" +
                                                 area.sheet +
                                                 "', which the workbook does not have");
  }
  if (!document_->IsWorksheet(sheet->Index())) {
    throw WorkbookError(FullName().string(),
                        "defined name '" + found->name + "' points to a chart sheet");
  }
  return Range(sheet, area.first_row, area.first_column, area.last_row, area.last_column);
}

}  // namespace orv
