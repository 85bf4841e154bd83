#include "shell/outside/xlsx/SheetXmlMerger.h"

#include <charconv>
#include <cmath>
#include <set>
#include <vector>

#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/XmlText.h"
#include "shell/outside/xlsx/XmlTokenizer.h"

namespace orv {
namespace {

// The new sheet's bytes, handed on a megabyte at a time.
class Output {
 public:
  explicit Output(const SheetXmlMerger::Sink& sink) : sink_(sink) { buffer_.reserve(kChunk); }
  std::string& Buffer() { return buffer_; }
  void Add(std::string_view text) {
    buffer_ += text;
    if (buffer_.size() >= kChunk) Flush();
  }
  void Flush() {
    if (buffer_.empty()) return;
    sink_(std::move(buffer_));
    buffer_ = std::string();
    buffer_.reserve(kChunk);
  }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;
  const SheetXmlMerger::Sink& sink_;
  std::string buffer_;
};

std::uint32_t ParseIndex(std::string_view text) {
  std::uint32_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

class Merger {
 public:
  Merger(ZipArchive::Reader& original, const std::string& label,
         const SheetXmlMerger::Changes& changes, const SheetXmlMerger::Sink& sink)
      : in_(original, label), out_(sink), changes_(changes), cursor_(*changes.cells) {}

  void Run() {
    views_done_ = changes_.view == nullptr;
    while (in_.Next()) {
      switch (state_) {
        case State::kHead:
          Head();
          break;
        case State::kViews:
          Views();
          break;
        case State::kData:
          Data();
          break;
        case State::kRow:
          Row();
          break;
        case State::kCopyCell:
          CopyCell();
          break;
        case State::kSkipFormula:
          if (in_.TokenKind() == XmlTokenizer::kEnd && in_.LocalName() == "f")
            state_ = State::kCopyCell;
          break;
        case State::kSkipCell:
          if (IsElement() && in_.LocalName() == "f") {
            if (changes_.formula_replaced != nullptr) *changes_.formula_replaced = true;
            if (in_.AttributeValue("t") == "shared" && !in_.AttributeValue("ref").empty()) {
              orphaned_groups_.insert(std::string(in_.AttributeValue("si")));
            }
          }
          if (in_.TokenKind() == XmlTokenizer::kEnd && in_.LocalName() == "c") state_ = State::kRow;
          break;
        case State::kTail:
          out_.Add(in_.Raw());
          break;
      }
    }
    out_.Flush();
  }

 private:
  enum class State { kHead, kViews, kData, kRow, kCopyCell, kSkipFormula, kSkipCell, kTail };

  // A cell copied as it stands, except that a formula sharing the formula of a cell we replaced
  // loses it (its cached value stays): a shared formula without its first cell makes the file
  // unreadable to Excel.
  void CopyCell() {
    if (IsElement() && in_.LocalName() == "f" && !orphaned_groups_.empty() &&
        in_.AttributeValue("t") == "shared" && in_.AttributeValue("ref").empty() &&
        orphaned_groups_.count(std::string(in_.AttributeValue("si"))) != 0) {
      if (in_.TokenKind() == XmlTokenizer::kStart) state_ = State::kSkipFormula;
      return;
    }
    out_.Add(in_.Raw());
    if (in_.TokenKind() == XmlTokenizer::kEnd && in_.LocalName() == "c") state_ = State::kRow;
  }

  bool IsElement() const {
    return in_.TokenKind() == XmlTokenizer::kStart ||
           in_.TokenKind() == XmlTokenizer::kEmptyElement;
  }
  std::string Qualified(std::string_view local) const { return prefix_ + std::string(local); }

  void Head() {
    auto kind = in_.TokenKind();
    auto name = in_.LocalName();
    if (IsElement() && depth_ == 0) prefix_ = in_.Prefix();  // the worksheet element
    if (IsElement() && depth_ == 1) {
      if (name == "sheetViews" && !views_done_) {
        out_.Add(in_.Raw());
        if (kind == XmlTokenizer::kEmptyElement) {
          WholeViews(false);
        } else {
          state_ = State::kViews;
        }
        return;
      }
      if (!views_done_ && name != "sheetPr" && name != "dimension") WholeViews(true);
      if (name == "dimension" && kind == XmlTokenizer::kEmptyElement &&
          !changes_.dimension.empty()) {
        auto attributes = in_.Attributes();
        for (auto& attribute : attributes) {
          if (attribute.first == "ref") attribute.second = changes_.dimension;
        }
        out_.Add(XmlTokenizer::BuildTag(Qualified("dimension"), attributes, true));
        return;
      }
      if (name == "sheetData") {
        if (kind == XmlTokenizer::kEmptyElement) {
          out_.Add("<" + Qualified("sheetData") + ">");
          FlushRowsBefore(UINT32_MAX);
          out_.Add("</" + Qualified("sheetData") + ">");
          state_ = State::kTail;
        } else {
          out_.Add(in_.Raw());
          state_ = State::kData;
        }
        return;
      }
    }
    if (kind == XmlTokenizer::kStart) ++depth_;
    if (kind == XmlTokenizer::kEnd) --depth_;
    out_.Add(in_.Raw());
  }

  // A whole sheetViews element (or only its content when `open` is false) for a file that has none.
  void WholeViews(bool open) {
    if (open) out_.Add("<" + Qualified("sheetViews") + ">");
    out_.Add("<" + Qualified("sheetView") +
             (changes_.view->tab_selected ? " tabSelected=\"1\"" : "") + " workbookViewId=\"0\">");
    Selection();
    out_.Add("</" + Qualified("sheetView") + ">");
    if (open) out_.Add("</" + Qualified("sheetViews") + ">");
    views_done_ = true;
  }

  void Selection() {
    const auto& view = *changes_.view;
    if (view.active_cell.empty()) return;
    std::string tag = "<" + Qualified("selection");
    if (!active_pane_.empty() && active_pane_ != "topLeft") tag += " pane=\"" + active_pane_ + "\"";
    tag += " activeCell=\"" + view.active_cell + "\" sqref=\"" +
           (view.sqref.empty() ? view.active_cell : view.sqref) + "\"/>";
    out_.Add(tag);
    selection_written_ = true;
  }

  void Views() {
    auto kind = in_.TokenKind();
    auto name = in_.LocalName();
    if (skip_selection_) {
      if (kind == XmlTokenizer::kEnd && name == "selection") skip_selection_ = false;
      return;
    }
    if (IsElement() && name == "sheetView") {
      ++view_count_;
      if (view_count_ == 1) {
        auto attributes = in_.Attributes();
        std::erase_if(attributes, [](const auto& a) { return a.first == "tabSelected"; });
        if (changes_.view->tab_selected)
          attributes.insert(attributes.begin(), {"tabSelected", "1"});
        out_.Add(XmlTokenizer::BuildTag(Qualified("sheetView"), attributes, false));
        if (kind == XmlTokenizer::kEmptyElement) {
          Selection();
          out_.Add("</" + Qualified("sheetView") + ">");
        } else {
          in_first_view_ = true;
        }
        return;
      }
    }
    if (in_first_view_) {
      if (IsElement() && name == "pane") {
        active_pane_ = in_.AttributeValue("activePane");
        if (active_pane_.empty()) active_pane_ = "topLeft";
      }
      if (IsElement() && name == "selection") {
        skip_selection_ = kind == XmlTokenizer::kStart;
        return;
      }
      if ((IsElement() && (name == "pivotSelection" || name == "extLst")) ||
          (kind == XmlTokenizer::kEnd && name == "sheetView")) {
        if (!selection_written_) Selection();
        if (kind == XmlTokenizer::kEnd) in_first_view_ = false;
      }
    }
    out_.Add(in_.Raw());
    if (kind == XmlTokenizer::kEnd && name == "sheetViews") {
      views_done_ = true;
      state_ = State::kHead;
    }
  }

  void Data() {
    auto kind = in_.TokenKind();
    if (IsElement() && in_.LocalName() == "row") {
      auto r = in_.AttributeValue("r");
      row_ = r.empty() ? row_ + 1 : ParseIndex(r);
      column_ = 0;
      FlushRowsBefore(row_);
      auto attributes = in_.Attributes();
      pending_.clear();
      pending_position_ = 0;
      if (cursor_.Row() == row_) {
        pending_ = cursor_.Columns();
        cursor_.Advance();
        std::erase_if(attributes, [](const auto& a) { return a.first == "spans"; });
      }
      std::string number = std::to_string(row_);
      if (r.empty()) attributes.insert(attributes.begin(), {"r", number});
      bool rebuilt = r.empty() || !pending_.empty();
      if (kind == XmlTokenizer::kEmptyElement && !pending_.empty()) {
        out_.Add(XmlTokenizer::BuildTag(Qualified("row"), attributes, false));
        for (auto column : pending_) WriteCell(row_, column, {});
        out_.Add("</" + Qualified("row") + ">");
        return;
      }
      out_.Add(rebuilt ? XmlTokenizer::BuildTag(Qualified("row"), attributes,
                                                kind == XmlTokenizer::kEmptyElement)
                       : std::string(in_.Raw()));
      if (kind == XmlTokenizer::kStart) state_ = State::kRow;
      return;
    }
    if (kind == XmlTokenizer::kEnd && in_.LocalName() == "sheetData") {
      FlushRowsBefore(UINT32_MAX);
      out_.Add(in_.Raw());
      state_ = State::kTail;
      return;
    }
    out_.Add(in_.Raw());
  }

  void Row() {
    auto kind = in_.TokenKind();
    if (IsElement() && in_.LocalName() == "c") {
      auto r = in_.AttributeValue("r");
      std::uint32_t column = column_ + 1;
      if (!r.empty()) {
        auto address = CellAddress::Parse(r);
        if (address) column = address->column;
      }
      column_ = column;
      while (pending_position_ < pending_.size() && pending_[pending_position_] < column) {
        WriteCell(row_, pending_[pending_position_++], {});
      }
      if (pending_position_ < pending_.size() && pending_[pending_position_] == column) {
        ++pending_position_;
        WriteCell(row_, column, in_.AttributeValue("s"));
        if (kind == XmlTokenizer::kStart) state_ = State::kSkipCell;
        return;
      }
      if (r.empty()) {
        auto attributes = in_.Attributes();
        std::string reference = CellAddress{row_, column}.ToString();
        attributes.insert(attributes.begin(), {"r", reference});
        out_.Add(XmlTokenizer::BuildTag(Qualified("c"), attributes,
                                        kind == XmlTokenizer::kEmptyElement));
      } else {
        out_.Add(in_.Raw());
      }
      if (kind == XmlTokenizer::kStart) state_ = State::kCopyCell;
      return;
    }
    if (kind == XmlTokenizer::kEnd && in_.LocalName() == "row") {
      while (pending_position_ < pending_.size())
        WriteCell(row_, pending_[pending_position_++], {});
      out_.Add(in_.Raw());
      state_ = State::kData;
      return;
    }
    out_.Add(in_.Raw());
  }

  // Writes the changed rows that come before `row` in the file as new rows.
  void FlushRowsBefore(std::uint32_t row) {
    while (cursor_.Row() && *cursor_.Row() < row) {
      auto number = *cursor_.Row();
      out_.Add("<" + Qualified("row") + " r=\"" + std::to_string(number) + "\">");
      for (auto column : cursor_.Columns()) WriteCell(number, column, {});
      out_.Add("</" + Qualified("row") + ">");
      cursor_.Advance();
    }
  }

  void WriteCell(std::uint32_t row, std::uint32_t column, std::string_view original_style) {
    const auto value = changes_.cells->Get(row, column);
    std::string_view style = original_style;
    char style_digits[16];
    if (value.kind == CellValue::kNumber && value.date &&
        (style.empty() || !changes_.is_date_style(ParseIndex(style)))) {
      auto [end, error] =
          std::to_chars(style_digits, style_digits + sizeof style_digits, changes_.date_style());
      style = std::string_view(style_digits, static_cast<std::size_t>(end - style_digits));
    }
    if (value.kind == CellValue::kEmpty && style.empty()) return;
    // Written straight into the output buffer: a download writes millions of cells.
    std::string& out = out_.Buffer();
    auto tag = [&](std::string_view opening, std::string_view name) {
      out += opening;
      out += prefix_;
      out += name;
    };
    tag("<", "c r=\"");
    if (column >= letters_.size()) letters_.resize(column + 1);
    if (letters_[column].empty()) letters_[column] = CellAddress::ColumnLetters(column);
    out += letters_[column];
    char digits[32];
    auto [row_end, row_error] = std::to_chars(digits, digits + sizeof digits, row);
    out.append(digits, row_end);
    out += '"';
    if (!style.empty()) {
      out += " s=\"";
      out += style;
      out += '"';
    }
    switch (value.kind) {
      case CellValue::kEmpty:
        out += "/>";
        break;
      case CellValue::kNumber: {
        if (!std::isfinite(value.number)) {
          out += " t=\"e\">";
          tag("<", "v>#NUM!");
          tag("</", "v>");
          tag("</", "c>");
          break;
        }
        auto [end, error] = std::to_chars(digits, digits + sizeof digits, value.number);
        out += '>';
        tag("<", "v>");
        out.append(digits, end);
        tag("</", "v>");
        tag("</", "c>");
        break;
      }
      case CellValue::kText:
        out += " t=\"inlineStr\">";
        tag("<", "is>");
        tag("<", "t");
        if (XmlText::NeedsPreserve(value.text)) out += " xml:space=\"preserve\"";
        out += '>';
        XmlText::AppendCellText(out, value.text);
        tag("</", "t>");
        tag("</", "is>");
        tag("</", "c>");
        break;
      case CellValue::kBoolean:
        out += " t=\"b\">";
        tag("<", "v>");
        out += value.number != 0 ? '1' : '0';
        tag("</", "v>");
        tag("</", "c>");
        break;
      case CellValue::kError:
        out += " t=\"e\">";
        tag("<", "v>");
        XmlText::AppendEscaped(out, value.text);
        tag("</", "v>");
        tag("</", "c>");
        break;
    }
    out_.Add({});
  }

  XmlTokenizer in_;
  Output out_;
  const SheetXmlMerger::Changes& changes_;
  SheetCells::ChangeCursor cursor_;
  State state_ = State::kHead;
  std::string prefix_;
  int depth_ = 0;
  bool views_done_ = true;
  int view_count_ = 0;
  bool in_first_view_ = false;
  bool skip_selection_ = false;
  bool selection_written_ = false;
  std::string active_pane_;
  std::uint32_t row_ = 0, column_ = 0;
  std::vector<std::uint32_t> pending_;
  // The letters of each column written, by column number.
  std::vector<std::string> letters_;
  std::size_t pending_position_ = 0;
  std::set<std::string> orphaned_groups_;
};

}  // namespace

void SheetXmlMerger::Merge(ZipArchive::Reader& original, const std::string& label,
                           const Changes& changes, const Sink& out) {
  Merger(original, label, changes, out).Run();
}

}  // namespace orv
