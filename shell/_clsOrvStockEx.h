#pragma once

#include <string>

#include "shell/HostComponent.h"

namespace orv {

inline const CLSID CLSID_clsOrvStockEx{"{6F1C2A40-8B3E-4C5D-9A21-3E7B0D4C1A01}"};
inline const IID IID_clsOrvStockExInterface{"{6F1C2A40-8B3E-4C5D-9A21-3E7B0D4C1A02}"};
inline constexpr char kStockProgId[] = "OrvStockExcel.clsOrvStockEx";

// The stock component's own members, besides the shared ones.
class _clsOrvStockEx : public HostComponent {
 public:
  virtual std::shared_ptr<Worksheet> m_wWrkActive() const = 0;
  virtual void putref_m_wWrkActive(std::shared_ptr<Worksheet> sheet) = 0;
  virtual void ShowHelpFile() = 0;
  virtual bool ViewStockAvailable() const = 0;
  virtual std::string ForceBrowseRange() const = 0;
  virtual void put_ForceBrowseRange(std::string value) = 0;
  virtual std::string BrowseListField() const = 0;
  virtual void put_BrowseListField(std::string value) = 0;
  virtual std::string OverrideBrowseSQL() const = 0;
  virtual void put_OverrideBrowseSQL(std::string value) = 0;
  virtual std::string OverrideBrowseColumn() const = 0;
  virtual void put_OverrideBrowseColumn(std::string value) = 0;

  virtual void UploadStock() = 0;
  virtual void BrowseStock(Range& Active_Cell) = 0;
  virtual void ExtractStock() = 0;
  virtual void ViewStock(Range& Active_Cell) = 0;
  virtual std::string CheckRangeExists(std::string& sPageNumber) = 0;

 protected:
  ~_clsOrvStockEx() = default;
};

}  // namespace orv
