#include "host/TemplateCommand.h"

#include <iostream>

#include "ranges/clsOrvStockRanges.h"
#include "shell/_clsOrvStockEx.h"
#include "shell/outside/base/AppError.h"
#include "shell/outside/xlsx/WorkbookTemplate.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "techdesc/_clsSTTechDescEx.h"

namespace orv {

int TemplateCommand::Run() const {
  try {
    auto catalogue = std::make_shared<XlsxRangeList>();
    clsOrvStockRanges ranges;
    ranges.SetRangeList(catalogue);
    if (tech_desc) {
      ranges.SetWarehouseAndProductAsHeader(true);
      ranges.DefineWarehouseAndProductRanges();
      ranges.DefineTechnicalDescriptionRanges();
      ranges.DefineSageCompanyRange();
    } else {
      ranges.DefineRanges();
      if (erp_version > 6) ranges.DefineVersion7Ranges();
    }
    if (list) {
      std::cout << WorkbookTemplate::Listing(catalogue->RangeGroups(), catalogue->Definitions());
      return 0;
    }
    if (file.empty()) throw AppError(vbObjectError, "", "Name the workbook to create");
    WorkbookTemplate::Options options;
    options.rows = rows;
    options.owner_prog_id = tech_desc ? kTechDescProgId : kStockProgId;
    options.replace_existing = replace;
    auto selected = WorkbookTemplate::Select(catalogue->Definitions(), picks);
    WorkbookTemplate::Create(file, selected, options);
    std::cout << "Created " << file.string() << " with " << selected.size() << " ranges of " << rows
              << " rows\n";
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "orvstock: " << error.what() << '\n';
    return 1;
  }
}

}  // namespace orv
