#include "shell/outside/calc/CalcCallbacks.h"

#include <cstddef>

#include <algorithm>
#include <cstring>

#include "shell/outside/ui/Form.h"

namespace orv {
namespace {

std::string Text(std::string_view text) { return std::string(text); }

bool InSheet(const OrvCalcArea& area) {
  return area.sheet >= 0 && area.first_row >= 1 && area.first_column >= 1 &&
         area.last_row >= area.first_row && area.last_column >= area.first_column;
}

std::size_t CellCount(const OrvCalcArea& area) {
  return static_cast<std::size_t>(area.last_row - area.first_row + 1) *
         static_cast<std::size_t>(area.last_column - area.first_column + 1);
}

}  // namespace

CalcCallbacks::CalcCallbacks(const OrvCalcHost& host) : host_(host) {}

void CalcCallbacks::Fail(std::string_view callback, const std::string& problem) const {
  throw AppError(kCalcHostError, "",
                 "The spreadsheet could not " + Text(callback) + ": " + problem);
}

int CalcCallbacks::Check(int status, std::string_view callback) const {
  if (status >= 0) return status;
  const char* reason = host_.error_text ? host_.error_text(host_.context) : nullptr;
  Fail(callback, reason && *reason ? reason : "it gave no reason");
}

template <class Callback>
Callback CalcCallbacks::Need(Callback callback, std::string_view name) const {
  if (!callback) Fail(name, "the host has no such callback");
  return callback;
}

std::optional<OrvCalcArea> CalcCallbacks::FindRange(const std::string& name) const {
  OrvCalcArea area{};
  int found = Check(Need(host_.find_range, "find a range")(host_.context, name.c_str(), &area),
                    "find the range " + name);
  if (found == 0) return std::nullopt;
  if (!InSheet(area)) Fail("find the range " + name, "it answered an area outside the sheet");
  return area;
}

std::vector<CellValue> CalcCallbacks::GetCells(const OrvCalcArea& area) const {
  OrvCalcCells block{};
  Check(Need(host_.get_cells, "read cells")(host_.context, &area, &block), "read cells");
  const std::size_t count = CellCount(area);
  if (block.rows != area.last_row - area.first_row + 1 ||
      block.columns != area.last_column - area.first_column + 1 ||
      (count > 0 && (!block.kinds || !block.numbers || !block.texts)))
    Fail("read cells", "it answered a block of another size");
  std::vector<CellValue> cells(count);
  std::size_t at = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char* text = block.texts + at;
    const void* end =
        at < block.texts_size ? std::memchr(text, '\0', block.texts_size - at) : nullptr;
    if (!end) Fail("read cells", "it answered fewer texts than cells");
    std::size_t length = static_cast<const char*>(end) - text;
    at += length + 1;
    CellValue& cell = cells[i];
    switch (block.kinds[i]) {
      case ORV_CELL_EMPTY:
        break;
      case ORV_CELL_NUMBER:
      case ORV_CELL_DATE:
        cell = CellValue::Number(block.numbers[i], block.kinds[i] == ORV_CELL_DATE);
        break;
      case ORV_CELL_TEXT:
        cell = CellValue::Text(std::string(text, length));
        break;
      case ORV_CELL_BOOLEAN:
        cell = CellValue::Boolean(block.numbers[i] != 0);
        break;
      case ORV_CELL_ERROR:
        cell.kind = CellValue::kError;
        cell.text.assign(text, length);
        break;
      default:
        Fail("read cells", "it answered a cell of unknown kind " + std::to_string(block.kinds[i]));
    }
  }
  return cells;
}

void CalcCallbacks::SetCells(const OrvCalcArea& area,
                             const std::vector<std::span<const CellValue>>& columns) const {
  const auto rows = static_cast<std::size_t>(area.last_row - area.first_row + 1);
  if (columns.size() != static_cast<std::size_t>(area.last_column - area.first_column + 1) ||
      std::any_of(columns.begin(), columns.end(),
                  [&](const auto& column) { return column.size() != rows; }))
    Fail("write cells", "the block does not fit the area");
  const std::size_t count = rows * columns.size();
  std::vector<std::uint8_t> kinds(count);
  std::vector<double> numbers(count);
  std::size_t text_bytes = count;
  for (const auto& column : columns)
    for (const CellValue& cell : column) text_bytes += cell.text.size();
  std::string texts;
  texts.reserve(text_bytes);
  std::size_t i = 0;
  for (const auto& column : columns) {
    for (const CellValue& cell : column) {
      switch (cell.kind) {
        case CellValue::kEmpty:
          kinds[i] = ORV_CELL_EMPTY;
          break;
        case CellValue::kNumber:
          kinds[i] = cell.date ? ORV_CELL_DATE : ORV_CELL_NUMBER;
          numbers[i] = cell.number;
          break;
        case CellValue::kText:
          // An empty text is no content: the cell is emptied, as a workbook file stores it.
          kinds[i] = cell.text.empty() ? ORV_CELL_EMPTY : ORV_CELL_TEXT;
          texts.append(cell.text.c_str());
          break;
        case CellValue::kBoolean:
          kinds[i] = ORV_CELL_BOOLEAN;
          numbers[i] = cell.number;
          break;
        case CellValue::kError:
          kinds[i] = ORV_CELL_ERROR;
          texts.append(cell.text.c_str());
          break;
      }
      texts.push_back('\0');
      ++i;
    }
  }
  OrvCalcCells block{static_cast<std::int32_t>(rows),
                     static_cast<std::int32_t>(columns.size()),
                     kinds.data(),
                     numbers.data(),
                     texts.data(),
                     texts.size()};
  Check(Need(host_.set_cells, "write cells")(host_.context, &area, &block), "write cells");
}

void CalcCallbacks::ClearCells(const OrvCalcArea& area) const {
  Check(Need(host_.clear_cells, "clear cells")(host_.context, &area), "clear cells");
}

void CalcCallbacks::GrowRange(const std::string& name, std::int32_t last_row) const {
  Check(Need(host_.grow_range, "grow a range")(host_.context, name.c_str(), last_row),
        "grow the range " + name);
}

void CalcCallbacks::Edit(std::int32_t state) const {
  if (host_.edit) Check(host_.edit(host_.context, state), "change the document");
}

std::string CalcCallbacks::SheetName(std::int32_t sheet) const {
  const char* name = nullptr;
  Check(Need(host_.sheet_name, "name a sheet")(host_.context, sheet, &name), "name a sheet");
  return name ? name : "";
}

OrvCalcArea CalcCallbacks::ActiveCell() const {
  OrvCalcArea cell{};
  Check(Need(host_.active_cell, "tell the active cell")(host_.context, &cell),
        "tell the active cell");
  if (!InSheet(cell)) Fail("tell the active cell", "it answered a cell outside the sheet");
  return cell;
}

void CalcCallbacks::SelectRows(std::int32_t sheet, std::int32_t first_row,
                               std::int32_t last_row) const {
  Check(Need(host_.select_rows, "select rows")(host_.context, sheet, first_row, last_row),
        "select rows");
}

MsgAnswer CalcCallbacks::MessageBox(std::string_view prompt, MsgButtons buttons, MsgIcon icon,
                                    std::string_view title) const {
  std::int32_t answer = -1;
  Check(Need(host_.message_box, "show a message")(
            host_.context, Text(prompt).c_str(), static_cast<std::int32_t>(buttons),
            static_cast<std::int32_t>(icon), Text(title).c_str(), &answer),
        "show a message");
  auto given = static_cast<MsgAnswer>(answer);
  bool fits = false;
  switch (buttons) {
    case MsgButtons::kOK:
      fits = given == MsgAnswer::kOK;
      break;
    case MsgButtons::kOKCancel:
      fits = given == MsgAnswer::kOK || given == MsgAnswer::kCancel;
      break;
    case MsgButtons::kYesNo:
      fits = given == MsgAnswer::kYes || given == MsgAnswer::kNo;
      break;
  }
  if (!fits)
    Fail("show a message",
         "it answered " + std::to_string(answer) + ", which is not a button shown");
  return given;
}

std::optional<std::vector<std::string>> CalcCallbacks::FormActions(const Form& form) const {
  const char* actions = nullptr;
  Check(Need(host_.form_actions, "show a dialog")(
            host_.context, reinterpret_cast<const OrvCalcForm*>(&form), &actions),
        "show the dialog " + form.Caption);
  if (!actions) return std::nullopt;
  std::vector<std::string> lines;
  std::string_view rest(actions);
  while (!rest.empty()) {
    auto end = rest.find('\n');
    auto line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return lines;
}

void CalcCallbacks::Progress(std::optional<std::string_view> text) const {
  if (!host_.progress) return;
  std::string owned = text ? Text(*text) : std::string();
  Check(host_.progress(host_.context, text ? owned.c_str() : nullptr), "show progress");
}

void CalcCallbacks::Notice(std::string_view text) const {
  Check(Need(host_.notice, "tell the user")(host_.context, Text(text).c_str()), "tell the user");
}

std::string CalcCallbacks::Environment(const char* name) const {
  // A host built before the callback existed has a shorter table.
  if (host_.size < offsetof(OrvCalcHost, environment) + sizeof(host_.environment) ||
      !host_.environment)
    return {};
  const char* value = host_.environment(host_.context, name);
  return value ? std::string(value) : std::string();
}

}  // namespace orv
