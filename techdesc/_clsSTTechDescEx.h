#pragma once

#include "shell/HostComponent.h"

namespace orv {

class RangeList;

inline const CLSID CLSID_clsSTTechDescEx{"{6F1C2A40-8B3E-4C5D-9A21-3E7B0D4C1A03}"};
inline const IID IID_clsSTTechDescExInterface{"{6F1C2A40-8B3E-4C5D-9A21-3E7B0D4C1A04}"};
inline constexpr char kTechDescProgId[] = "OrvStockExcel.clsSTTechDescEx";

// The technical description component's own members, besides the shared ones.
class _clsSTTechDescEx : public HostComponent {
 public:
  // AppError naming the first of "Warehouse", "Product" and "PageNumber" that `irList` lacks.
  virtual void ValidateRanges(RangeList& irList) = 0;
  // Writes every row with a page number as a page of the item the Warehouse and Product cells
  // name: inserted, updated, or deleted when its twelve lines are on the sheet and blank. One
  // transaction after the post confirmation: any failure rolls the whole run back, names the row
  // and is reported. With the site's upload_check every row is tried, failing rows are named and
  // nothing is kept.
  virtual void UploadTechnicalDescriptions() = 0;
  // Asks whether to download the pages the sheet lists (each into its row; a page not on file is
  // reported and its row left alone) or every page of the item (the page rows emptied first,
  // pages in page order from the first row, or below the active cell's row when the site says
  // so). Errors are reported; a cancelled dialog writes nothing and counts as a failure.
  virtual void DownloadTechnicalDescriptions() = 0;

 protected:
  ~_clsSTTechDescEx() = default;
};

}  // namespace orv
