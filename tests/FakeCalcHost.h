#pragma once

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "shell/CalcExports.h"
#include "shell/outside/xlsx/CellValue.h"

namespace orv::testing {

// A document held open by a make-believe spreadsheet program, lent to the library through the C
// callback table as a real host lends one: sheets, cells, defined names, the cursor, and a user
// who answers from a queue. It records what the library asked of it.
class FakeCalcHost {
 public:
  using Key = std::tuple<int, int, int>;  // sheet, row, column

  std::vector<std::string> sheets{"Stock", "Notes"};
  std::map<Key, CellValue> cells;
  std::map<std::string, OrvCalcArea> names;  // lower-case name
  OrvCalcArea cursor{0, 1, 1, 1, 1};
  std::string company;
  std::string companies_file;

  // Message boxes take "OK", "Cancel", "Yes" or "No"; a form takes one entry (several actions
  // joined by '\n', or "<closed>"). A message box with only OK takes none.
  std::deque<std::string> answers;
  // Set: the set_cells call of that number (from 1) fails.
  std::optional<int> fail_set_cells;
  bool refuse_growth = false;

  std::vector<std::string> messages;
  std::vector<std::string> notices;
  std::vector<std::string> progress;
  std::vector<OrvCalcArea> reads, writes, clears;
  std::vector<int> edits;
  std::vector<std::tuple<int, int, int>> selections;
  std::vector<std::pair<std::string, int>> grown;

  void Name(const std::string& name, OrvCalcArea area) { names[Lower(name)] = area; }
  const CellValue& At(int sheet, int row, int column) {
    static const CellValue kEmpty;
    auto found = cells.find({sheet, row, column});
    return found == cells.end() ? kEmpty : found->second;
  }
  std::string Text(int sheet, int row, int column) { return At(sheet, row, column).text; }
  void Put(int sheet, int row, int column, CellValue value) {
    if (value.IsBlank() && value.kind != CellValue::kError)
      cells.erase({sheet, row, column});
    else
      cells[{sheet, row, column}] = std::move(value);
  }

  const OrvCalcHost& Host() {
    host_ = OrvCalcHost{};
    host_.size = sizeof host_;
    host_.context = this;
    host_.title = "fake.ods";
    host_.company = company.c_str();
    host_.companies_file = companies_file.c_str();
    host_.error_text = [](void* c) { return Self(c).error_.c_str(); };
    host_.find_range = &FindRange;
    host_.get_cells = &GetCells;
    host_.set_cells = &SetCells;
    host_.clear_cells = &ClearCells;
    host_.grow_range = &GrowRange;
    host_.edit = &Edit;
    host_.sheet_name = [](void* c, int32_t sheet, const char** name) {
      auto& self = Self(c);
      if (sheet < 0 || sheet >= static_cast<int>(self.sheets.size())) return self.Fail("no sheet");
      *name = self.sheets[sheet].c_str();
      return 0;
    };
    host_.active_cell = [](void* c, OrvCalcArea* cell) {
      *cell = Self(c).cursor;
      return 0;
    };
    host_.select_rows = [](void* c, int32_t sheet, int32_t first, int32_t last) {
      Self(c).selections.emplace_back(sheet, first, last);
      return 0;
    };
    host_.message_box = &MessageBox;
    host_.form_actions = &FormActions;
    host_.progress = [](void* c, const char* text) {
      Self(c).progress.push_back(text ? text : "<end>");
      return 0;
    };
    host_.notice = [](void* c, const char* text) {
      Self(c).notices.push_back(text);
      return 0;
    };
    return host_;
  }

 private:
  static FakeCalcHost& Self(void* context) { return *static_cast<FakeCalcHost*>(context); }
  static std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  }
  int Fail(std::string why) {
    error_ = std::move(why);
    return -1;
  }
  bool InAnyArea(int row, int column) const {
    return std::any_of(names.begin(), names.end(), [&](const auto& entry) {
      const auto& a = entry.second;
      return row >= a.first_row && row <= a.last_row && column >= a.first_column &&
             column <= a.last_column;
    });
  }

  static int FindRange(void* c, const char* name, OrvCalcArea* area) {
    auto& self = Self(c);
    auto found = self.names.find(Lower(name));
    if (found == self.names.end()) return 0;
    *area = found->second;
    return 1;
  }
  static int GetCells(void* c, const OrvCalcArea* area, OrvCalcCells* out) {
    auto& self = Self(c);
    self.reads.push_back(*area);
    self.kinds_.clear();
    self.numbers_.clear();
    self.texts_.clear();
    for (int column = area->first_column; column <= area->last_column; ++column) {
      for (int row = area->first_row; row <= area->last_row; ++row) {
        const CellValue& cell = self.At(area->sheet, row, column);
        std::uint8_t kind = ORV_CELL_EMPTY;
        switch (cell.kind) {
          case CellValue::kNumber:
            kind = cell.date ? ORV_CELL_DATE : ORV_CELL_NUMBER;
            break;
          case CellValue::kText:
            kind = ORV_CELL_TEXT;
            self.texts_ += cell.text;
            break;
          case CellValue::kBoolean:
            kind = ORV_CELL_BOOLEAN;
            break;
          case CellValue::kError:
            kind = ORV_CELL_ERROR;
            self.texts_ += cell.text;
            break;
          case CellValue::kEmpty:
            break;
        }
        self.kinds_.push_back(kind);
        self.numbers_.push_back(cell.number);
        self.texts_.push_back('\0');
      }
    }
    *out = OrvCalcCells{area->last_row - area->first_row + 1,
                        area->last_column - area->first_column + 1,
                        self.kinds_.data(),
                        self.numbers_.data(),
                        self.texts_.data(),
                        self.texts_.size()};
    return 0;
  }
  static int SetCells(void* c, const OrvCalcArea* area, const OrvCalcCells* block) {
    auto& self = Self(c);
    self.writes.push_back(*area);
    if (self.fail_set_cells && *self.fail_set_cells == static_cast<int>(self.writes.size()))
      return self.Fail("the sheet is protected");
    const char* text = block->texts;
    for (int i = 0; i < block->rows * block->columns; ++i) {
      int row = area->first_row + i % block->rows;
      int column = area->first_column + i / block->rows;
      CellValue cell;
      switch (block->kinds[i]) {
        case ORV_CELL_NUMBER:
        case ORV_CELL_DATE:
          cell = CellValue::Number(block->numbers[i], block->kinds[i] == ORV_CELL_DATE);
          break;
        case ORV_CELL_TEXT:
          cell = CellValue::Text(text);
          break;
        case ORV_CELL_BOOLEAN:
          cell = CellValue::Boolean(block->numbers[i] != 0);
          break;
        default:
          break;
      }
      text += std::char_traits<char>::length(text) + 1;
      self.Put(area->sheet, row, column, cell);
    }
    return 0;
  }
  static int ClearCells(void* c, const OrvCalcArea* area) {
    auto& self = Self(c);
    self.clears.push_back(*area);
    for (int row = area->first_row; row <= area->last_row; ++row)
      for (int column = area->first_column; column <= area->last_column; ++column)
        self.cells.erase({area->sheet, row, column});
    return 0;
  }
  static int GrowRange(void* c, const char* name, int32_t last_row) {
    auto& self = Self(c);
    if (self.refuse_growth) return self.Fail("the range is protected");
    self.grown.emplace_back(name, last_row);
    self.names[Lower(name)].last_row = last_row;
    return 0;
  }
  // Begin keeps a copy of the cells; an end after a failure puts it back, as a host takes back.
  static int Edit(void* c, int32_t state) {
    auto& self = Self(c);
    self.edits.push_back(state);
    if (state > 0) self.before_edit_ = self.cells;
    if (state < 0) self.cells = self.before_edit_;
    return 0;
  }
  static int MessageBox(void* c, const char* prompt, int32_t buttons, int32_t, const char*,
                        int32_t* answer) {
    auto& self = Self(c);
    self.messages.push_back(prompt);
    if (buttons == ORV_BUTTONS_OK) {
      *answer = ORV_ANSWER_OK;
      return 0;
    }
    std::string given = self.answers.empty() ? "" : self.answers.front();
    if (!self.answers.empty()) self.answers.pop_front();
    *answer = given == "OK"                   ? ORV_ANSWER_OK
              : given == "Yes"                ? ORV_ANSWER_YES
              : given == "No"                 ? ORV_ANSWER_NO
              : buttons == ORV_BUTTONS_YES_NO ? ORV_ANSWER_NO
                                              : ORV_ANSWER_CANCEL;
    return 0;
  }
  static int FormActions(void* c, const OrvCalcForm*, const char** actions) {
    auto& self = Self(c);
    if (self.answers.empty() || self.answers.front() == "<closed>") {
      if (!self.answers.empty()) self.answers.pop_front();
      *actions = nullptr;
      return 0;
    }
    self.actions_ = self.answers.front();
    self.answers.pop_front();
    *actions = self.actions_.c_str();
    return 0;
  }

  OrvCalcHost host_{};
  std::string error_;
  std::string actions_;
  std::vector<std::uint8_t> kinds_;
  std::vector<double> numbers_;
  std::string texts_;
  std::map<Key, CellValue> before_edit_;
};

}  // namespace orv::testing
