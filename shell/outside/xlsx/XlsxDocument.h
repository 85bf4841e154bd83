#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/outside/xlsx/CellValue.h"
#include "shell/outside/xlsx/SheetCells.h"
#include "shell/outside/xlsx/SheetDocument.h"
#include "shell/outside/xlsx/SheetView.h"
#include "shell/outside/xlsx/ZipArchive.h"

struct zip;

namespace pugi {
class xml_document;
}

namespace orv {

// An .xlsx file: its sheets, defined names, styles, saved view and custom document properties,
// and the cells of each sheet (read on first use, as a stream, into a compact store).
//
// Saving rewrites only the parts that changed: a changed sheet is streamed from the original with
// the changed cells merged in; every other zip entry is copied as it stands. The new file is
// written in a temporary folder beside the original (see TemporaryFolder) and renamed over it,
// so a failure or a signal leaves the original untouched and nothing behind. A save needs free
// space for about twice the workbook plus the unpacked XML of each changed sheet.
//
// A workbook named through symbolic links is read from and saved to the file they lead to; its
// mode and owner are kept. A file with other hard links is replaced under this name only: the
// other names keep the old content (HardLinkWarning says so).
//
// Errors are WorkbookErrors that name the file and the problem.
class XlsxDocument final : public SheetDocument {
 public:
  struct DefinedName {
    std::string name;
    std::optional<std::size_t> local_sheet;  // a name that belongs to one sheet
    std::string formula;                     // "Sheet1!$B$2:$B$501"
    bool hidden = false;
  };

  static std::unique_ptr<XlsxDocument> Open(const std::filesystem::path& path,
                                            const ZipLimits& limits = {});
  ~XlsxDocument() override;
  XlsxDocument(const XlsxDocument&) = delete;
  XlsxDocument& operator=(const XlsxDocument&) = delete;

  // The file itself, symbolic links resolved.
  const std::filesystem::path& Path() const { return path_; }
  // A WorkbookError when the user may not replace the file at `path` (it or its folder is
  // read-only to them), so that a run can refuse before doing any work.
  static void CheckWritable(const std::filesystem::path& path);
  void CheckWritable() const { CheckWritable(path_); }
  std::string Title() const override { return path_.string(); }

  // Sheets in tab order (chart sheets included; they hold no cells).
  std::size_t SheetCount() const { return sheets_.size(); }
  const std::string& SheetName(std::size_t sheet) const override;
  bool IsWorksheet(std::size_t sheet) const;
  // Case-insensitive, as spreadsheet programs compare sheet names.
  std::optional<std::size_t> FindSheet(std::string_view name) const;

  const std::vector<DefinedName>& DefinedNames() const { return names_; }
  // Sets the formula of a workbook-level name, or of the name local to `local_sheet`, adding the
  // name when it is new.
  void SetDefinedName(std::string_view name, std::string_view formula,
                      std::optional<std::size_t> local_sheet = std::nullopt);

  // The cells of a sheet; the first call reads the sheet.
  SheetCells& Cells(std::size_t sheet);
  CellValue Cell(std::size_t sheet, std::uint32_t row, std::uint32_t column) override;
  void SetCell(std::size_t sheet, std::uint32_t row, std::uint32_t column,
               const CellValue& value) override;
  bool Date1904() const override { return date1904_; }

  // The saved view: the tab shown on opening, and each sheet's cursor.
  std::size_t ActiveTab() const { return active_tab_; }
  void SetActiveTab(std::size_t sheet);
  const SheetView& View(std::size_t sheet);
  void SetSelection(std::size_t sheet, std::string active_cell, std::string sqref);
  // The saved cursor of the sheet; selecting rows writes the saved view, so that the user sees
  // them on opening the file.
  std::string CursorCell(std::size_t sheet) override { return View(sheet).active_cell; }
  void SelectRows(std::size_t sheet, std::uint32_t first_row, std::uint32_t last_row) override;

  // Custom document properties (text values).
  std::optional<std::string> CustomProperty(std::string_view name) const;
  void SetCustomProperty(std::string_view name, std::string_view value);
  void RemoveCustomProperty(std::string_view name);

  bool HasChanges() const;
  // A warning when another program has the file open (its lock file lies beside it).
  std::optional<std::string> LockWarning() const;
  // A warning when the file has other hard links, which a save does not update.
  std::optional<std::string> HardLinkWarning() const;
  // Writes the changes into the file; refused when a changed sheet is protected, and when the file
  // has changed on disk since it was read (checked again just before the new file replaces it).
  // Whatever stops a save, the file keeps its bytes and no temporary stays behind.
  //
  // `checkpoint` is called at each step with its name (tests inject failures and signals there):
  // "copy" (the temporary copy made), "sheet" (a changed sheet's XML written and flushed),
  // "archive" (the new file complete) and "rename" (just before the last check and the rename).
  using Checkpoint = std::function<void(std::string_view step)>;
  void Save(const Checkpoint& checkpoint = {});

 private:
  struct Sheet;
  struct Parts;
  XlsxDocument(std::filesystem::path path, const ZipLimits& limits);
  void Load();
  void LoadSheet(Sheet& sheet);
  std::uint32_t DateStyle();
  void DropCalculationChain(zip* archive);
  bool IsDateStyle(std::uint32_t style) const;
  std::string Protected(std::size_t sheet) const;
  void AddPackagePart(const std::string& part, const std::string& content_type,
                      const std::string& relationship_type, bool from_workbook);

  std::filesystem::path path_;
  ZipLimits limits_;
  std::unique_ptr<ZipArchive> archive_;
  std::unique_ptr<Parts> parts_;
  std::vector<std::unique_ptr<Sheet>> sheets_;
  std::vector<DefinedName> names_;
  StringPool shared_strings_;
  std::vector<bool> date_styles_;
  std::optional<std::uint32_t> date_style_;
  bool date1904_ = false;
  std::size_t active_tab_ = 0;
  // The file as it was when read: saving over a file that another program has changed since
  // would mix its parts with ours.
  std::string file_stamp_;
};

}  // namespace orv
