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
    ranges.DefineWorkbookRanges(erp_version, tech_desc);
    if (list) {
      std::cout << WorkbookTemplate::Listing(catalogue->RangeGroups(), catalogue->Definitions());
      return 0;
    }
    if (file.empty()) {
      std::cerr << "orvstock template: name the workbook to create (or --list the ranges)\n"
                   "Run with --help for more information.\n";
      return 2;
    }
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
