#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/base/AppError.h"
#include "shell/outside/calc/CalcHost.h"
#include "shell/outside/ui/UserInterface.h"
#include "shell/outside/xlsx/CellValue.h"

namespace orv {

class Form;

// A callback of the host that failed, or answered what the library cannot use.
inline constexpr std::int32_t kCalcHostError = vbObjectError + 6010;

// The host's callback table as the library calls it: C++ values in and out, and an AppError
// (kCalcHostError, with the host's reason) for a callback that is missing or failed. The table
// and the strings it points to belong to the host and must outlive this object.
class CalcCallbacks {
 public:
  explicit CalcCallbacks(const OrvCalcHost& host);

  const OrvCalcHost& Host() const { return host_; }
  bool Date1904() const { return host_.date1904 != 0; }

  // nullopt when the document has no range of that name.
  std::optional<OrvCalcArea> FindRange(const std::string& name) const;
  // The area's cells, column after column.
  std::vector<CellValue> GetCells(const OrvCalcArea& area) const;
  // One span of cells per column of the area, each as long as the area is high.
  void SetCells(const OrvCalcArea& area,
                const std::vector<std::span<const CellValue>>& columns) const;
  void ClearCells(const OrvCalcArea& area) const;
  void GrowRange(const std::string& name, std::int32_t last_row) const;
  // Before the changes of an action: how many areas will be cleared or written; after them
  // kEditEnd, or kEditFailed when writing them failed part way.
  static constexpr std::int32_t kEditEnd = 0;
  static constexpr std::int32_t kEditFailed = -1;
  void Edit(std::int32_t state) const;
  std::string SheetName(std::int32_t sheet) const;
  OrvCalcArea ActiveCell() const;
  void SelectRows(std::int32_t sheet, std::int32_t first_row, std::int32_t last_row) const;

  MsgAnswer MessageBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                       std::string_view title) const;
  // The user's actions on the form, in order; nullopt when the user closed it.
  std::optional<std::vector<std::string>> FormActions(const Form& form) const;
  // nullopt ends the run's status text.
  void Progress(std::optional<std::string_view> text) const;
  void Notice(std::string_view text) const;
  // The value of one of the host's environment variables, empty when unset or when the host
  // answers none.
  std::string Environment(const char* name) const;

 private:
  // Throws for a failed callback (status below 0); returns the status otherwise.
  int Check(int status, std::string_view callback) const;
  [[noreturn]] void Fail(std::string_view callback, const std::string& problem) const;
  template <class Callback>
  Callback Need(Callback callback, std::string_view name) const;

  const OrvCalcHost& host_;
};

}  // namespace orv
