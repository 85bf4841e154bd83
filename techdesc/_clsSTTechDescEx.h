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
  virtual void ValidateRanges(RangeList& irList) = 0;
  virtual void UploadTechnicalDescriptions() = 0;
  virtual void DownloadTechnicalDescriptions() = 0;

 protected:
  ~_clsSTTechDescEx() = default;
};

}  // namespace orv
