#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/outside/com/IUnknown.h"

namespace orv {

class Application;
struct HostSite;
class Range;
class Workbook;
class Worksheet;

inline const IID IID_HostComponent{"{6F1C2A40-8B3E-4C5D-9A21-3E7B0D4C1A05}"};

// The members both components offer the host. The host lends its site first, sets wkbActive and
// Index, calls AddRanges, then any actions, and finally CloseConnection.
class HostComponent : public IUnknown {
 public:
  virtual void SetSite(std::shared_ptr<HostSite> site) = 0;

  virtual std::shared_ptr<Workbook> wkbActive() const = 0;
  virtual void putref_wkbActive(std::shared_ptr<Workbook> workbook) = 0;
  virtual std::int32_t Index() const = 0;
  virtual void put_Index(std::int32_t index) = 0;

  virtual std::string ProgramName() const = 0;
  virtual std::string BrowseComponentName() = 0;
  virtual bool AddBrowseWorkbookOpen() = 0;
  virtual void SpecialBrowseCode(std::shared_ptr<Worksheet>& xlsCurrent, bool& bDelete) = 0;
  virtual void SpecialShortcutCode(std::shared_ptr<Worksheet>& xlsCurrent, bool& bDelete) = 0;
  virtual void About() = 0;
  virtual std::string FullVersionDescription() = 0;
  virtual std::string VersionDescription() = 0;

  virtual bool ChangeOrvConnection() = 0;
  virtual void CloseConnection() = 0;
  virtual void AddRanges(Application& appCurrent) = 0;
  virtual void BrowseRanges(Range& Active_Cell) = 0;
  virtual void EnterOptions() = 0;
  virtual void ClearAllRanges() = 0;
  virtual bool BrowseAvailable(Range& Active_Cell) = 0;

 protected:
  ~HostComponent() = default;
};

}  // namespace orv
