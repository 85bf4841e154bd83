#include "shell/outside/xlsx/SheetXmlReader.h"

#include <libxml/xmlreader.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <string>

#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/XmlText.h"

namespace orv {
namespace {

struct ReaderFree {
  void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};
using ReaderPtr = std::unique_ptr<xmlTextReader, ReaderFree>;

struct Source {
  ZipArchive::Reader* part;
  std::exception_ptr failure;
};

int ReadCallback(void* context, char* buffer, int length) {
  auto* source = static_cast<Source*>(context);
  try {
    return static_cast<int>(source->part->Read(buffer, static_cast<std::size_t>(length)));
  } catch (...) {
    source->failure = std::current_exception();
    return -1;
  }
}

int CloseCallback(void*) { return 0; }

// libxml2 prints some errors itself (those of converting an encoding, of its input), whatever the
// parser's options say; the reader reports every error through its exception instead.
void Unprinted(void*, const char*, ...) {}

// One libxml2 reader over a zip entry; names are compared as interned pointers.
class Stream {
 public:
  Stream(ZipArchive::Reader& part, const std::string& label)
      : source_{&part, nullptr}, label_(label) {
    xmlSetGenericErrorFunc(nullptr, Unprinted);
    reader_.reset(xmlReaderForIO(ReadCallback, CloseCallback, &source_, nullptr, nullptr,
                                 XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!reader_) throw WorkbookError(label_, "cannot start the XML reader");
  }
  const xmlChar* Intern(const char* name) {
    return xmlTextReaderConstString(reader_.get(), reinterpret_cast<const xmlChar*>(name));
  }
  bool Next() {
    int rc = xmlTextReaderRead(reader_.get());
    if (rc == 1) return true;
    if (source_.failure) std::rethrow_exception(source_.failure);
    if (rc < 0) {
      const xmlError* error = xmlGetLastError();
      std::string detail = error && error->message ? error->message : "parse error";
      while (!detail.empty() && (detail.back() == '\n' || detail.back() == ' ')) detail.pop_back();
      if (detail.find("huge text node") != std::string::npos)
        throw WorkbookError(label_, "too large: a text in it is longer than any cell can hold");
      throw WorkbookError(label_, "malformed XML (" + detail + ")");
    }
    return false;
  }
  int Type() { return xmlTextReaderNodeType(reader_.get()); }
  const xmlChar* Name() { return xmlTextReaderConstLocalName(reader_.get()); }
  bool Empty() { return xmlTextReaderIsEmptyElement(reader_.get()) == 1; }
  int Depth() { return xmlTextReaderDepth(reader_.get()); }
  const char* Value() {
    return reinterpret_cast<const char*>(xmlTextReaderConstValue(reader_.get()));
  }
  // The attribute's value, empty when missing; valid until the next call.
  std::string_view Attribute(const char* name) {
    attribute_.reset(
        xmlTextReaderGetAttribute(reader_.get(), reinterpret_cast<const xmlChar*>(name)));
    if (!attribute_) return {};
    return reinterpret_cast<const char*>(attribute_.get());
  }
  // The r, s and t attributes of a cell, read without copying (a cell has few attributes).
  void CellAttributes(std::string& r, std::string& s, std::string& t) {
    r.clear();
    s.clear();
    t.clear();
    auto* reader = reader_.get();
    while (xmlTextReaderMoveToNextAttribute(reader) == 1) {
      const char* name = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader));
      if (name[0] == 0 || name[1] != 0) continue;
      const char* value = reinterpret_cast<const char*>(xmlTextReaderConstValue(reader));
      if (value == nullptr) continue;
      if (name[0] == 'r') r = value;
      if (name[0] == 's') s = value;
      if (name[0] == 't') t = value;
    }
    xmlTextReaderMoveToElement(reader);
  }
  bool IsText() {
    int type = Type();
    return type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
           type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE;
  }

 private:
  struct XmlFree {
    void operator()(xmlChar* p) const { xmlFree(p); }
  };
  Source source_;
  std::string label_;
  ReaderPtr reader_;
  std::unique_ptr<xmlChar, XmlFree> attribute_;
};

// Appends a text node to the text of one cell or shared string, within kMaxText; `where` names
// it for the error.
template <class Where>
void AppendText(std::string& text, const char* more, const std::string& label, Where&& where) {
  text += more;
  if (text.size() > SheetXmlReader::kMaxText)
    throw WorkbookError(label, "too large: the text of " + where() + " is longer than " +
                                   std::to_string(SheetXmlReader::kMaxText >> 20) +
                                   " MiB (a cell holds at most 32,767 characters)");
}

std::uint32_t ParseUnsigned(std::string_view text) {
  std::uint32_t value = 0;
  auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || next != text.data() + text.size()) return 0;
  return value;
}

}  // namespace

void SheetXmlReader::ReadSharedStrings(ZipArchive::Reader& part, const std::string& label,
                                       StringPool& strings) {
  Stream stream(part, label);
  auto si = stream.Intern("si");
  auto t = stream.Intern("t");
  auto rph = stream.Intern("rPh");
  std::string text;
  bool in_item = false, in_text = false;
  int phonetic_depth = -1;
  while (stream.Next()) {
    int type = stream.Type();
    if (type == XML_READER_TYPE_ELEMENT) {
      auto name = stream.Name();
      if (name == si) {
        text.clear();
        in_item = !stream.Empty();
        if (!in_item) strings.Add({});
      } else if (name == rph && !stream.Empty()) {
        phonetic_depth = stream.Depth();
      } else if (name == t && in_item && phonetic_depth < 0) {
        in_text = !stream.Empty();
      }
    } else if (type == XML_READER_TYPE_END_ELEMENT) {
      auto name = stream.Name();
      if (name == t) {
        in_text = false;
      } else if (name == rph && stream.Depth() == phonetic_depth) {
        phonetic_depth = -1;
      } else if (name == si) {
        strings.Add(XmlText::DecodeCellText(text));
        in_item = false;
      }
    } else if (in_text && stream.IsText()) {
      AppendText(text, stream.Value(), label,
                 [&] { return "shared string " + std::to_string(strings.Size()); });
    }
  }
}

bool SheetXmlReader::ReadSheet(ZipArchive::Reader& part, const std::string& label,
                               const std::vector<bool>& date_styles, SheetCells& cells,
                               SheetView& view) {
  Stream stream(part, label);
  auto row_name = stream.Intern("row");
  auto c_name = stream.Intern("c");
  auto v_name = stream.Intern("v");
  auto is_name = stream.Intern("is");
  auto t_name = stream.Intern("t");
  auto rph_name = stream.Intern("rPh");
  auto sheet_view = stream.Intern("sheetView");
  auto pane_name = stream.Intern("pane");
  auto selection_name = stream.Intern("selection");
  auto protection_name = stream.Intern("sheetProtection");
  bool is_protected = false;

  std::uint32_t row = 0, column = 0;
  enum class Type { kNumber, kShared, kInline, kString, kBoolean, kError, kDate } cell_type{};
  bool date_style = false, in_cell = false, in_value = false, in_inline = false, in_text = false;
  bool has_value = false;
  int phonetic_depth = -1;
  int views_seen = 0;
  bool in_first_view = false;
  std::string active_pane;
  int selection_rank = -1;
  std::string value;
  std::string reference, style, t;

  auto store = [&] {
    if (!has_value) return;
    if (value.empty() && cell_type != Type::kInline && cell_type != Type::kString) return;
    auto fail = [&](const char* what) {
      throw WorkbookError(label, std::string(what) + " in cell " +
                                     CellAddress{row, column}.ToString() + ": '" + value + "'");
    };
    switch (cell_type) {
      case Type::kNumber: {
        double number = 0;
        auto begin = value.data(), end = value.data() + value.size();
        auto [next, error] = std::from_chars(begin, end, number);
        if (error != std::errc() || next != end) fail("not a number");
        cells.LoadNumber(row, column, number, date_style);
        break;
      }
      case Type::kShared: {
        if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos) {
          fail("bad shared string index");
        }
        if (value.size() > 9 || ParseUnsigned(value) >= cells.SharedStringCount()) {
          throw WorkbookError(label, "cell " + CellAddress{row, column}.ToString() +
                                         " names shared string " + value +
                                         ", but the workbook has " +
                                         std::to_string(cells.SharedStringCount()));
        }
        cells.LoadShared(row, column, ParseUnsigned(value));
        break;
      }
      case Type::kInline:
      case Type::kString:
        cells.LoadText(row, column, XmlText::DecodeCellText(value));
        break;
      case Type::kBoolean:
        cells.LoadBoolean(row, column, value == "1" || value == "true");
        break;
      case Type::kError:
        cells.LoadError(row, column, value);
        break;
      case Type::kDate:
        // ISO dates (t="d") are kept as their text; the date readers accept yyyy-mm-dd.
        cells.LoadText(row, column, value);
        break;
    }
  };

  while (stream.Next()) {
    int type = stream.Type();
    if (type == XML_READER_TYPE_ELEMENT) {
      auto name = stream.Name();
      if (name == c_name) {
        bool empty_cell = stream.Empty();
        stream.CellAttributes(reference, style, t);
        if (!reference.empty()) {
          auto address = CellAddress::Parse(reference);
          if (!address)
            throw WorkbookError(label, "bad cell reference '" + std::string(reference) + "'");
          row = address->row;
          column = address->column;
        } else {
          ++column;
        }
        if (row == 0) row = 1;
        auto style_index = style.empty() ? 0u : ParseUnsigned(style);
        date_style = style_index < date_styles.size() && date_styles[style_index];
        cell_type = t.empty() || t == "n" ? Type::kNumber
                    : t == "s"            ? Type::kShared
                    : t == "inlineStr"    ? Type::kInline
                    : t == "str"          ? Type::kString
                    : t == "b"            ? Type::kBoolean
                    : t == "e"            ? Type::kError
                    : t == "d"            ? Type::kDate
                                          : Type::kString;
        value.clear();
        has_value = false;
        in_cell = !empty_cell;
      } else if (name == v_name && in_cell) {
        in_value = !stream.Empty();
        has_value = true;
      } else if (name == is_name && in_cell) {
        in_inline = !stream.Empty();
        has_value = true;
        cell_type = Type::kInline;
      } else if (name == t_name && in_inline && phonetic_depth < 0) {
        in_text = !stream.Empty();
      } else if (name == rph_name && in_inline && !stream.Empty()) {
        phonetic_depth = stream.Depth();
      } else if (name == row_name) {
        auto r = stream.Attribute("r");
        row = r.empty() ? row + 1 : ParseUnsigned(r);
        if (row == 0 || row > CellAddress::kMaxRow) {
          throw WorkbookError(label, "bad row number '" + std::string(r) + "'");
        }
        column = 0;
      } else if (name == sheet_view) {
        ++views_seen;
        in_first_view = views_seen == 1 && !stream.Empty();
        if (views_seen == 1)
          view.tab_selected =
              stream.Attribute("tabSelected") == "1" || stream.Attribute("tabSelected") == "true";
      } else if (name == pane_name && in_first_view) {
        active_pane = stream.Attribute("activePane");
        if (active_pane.empty()) active_pane = "topLeft";
        view.pane = active_pane;
      } else if (name == protection_name) {
        auto sheet = stream.Attribute("sheet");
        is_protected = sheet == "1" || sheet == "true";
      } else if (name == selection_name && in_first_view) {
        std::string pane(stream.Attribute("pane"));
        if (pane.empty()) pane = "topLeft";
        bool preferred = pane == (active_pane.empty() ? std::string("topLeft") : active_pane);
        if ((preferred && selection_rank < 1) || selection_rank < 0) {
          view.active_cell = stream.Attribute("activeCell");
          view.sqref = stream.Attribute("sqref");
          selection_rank = preferred ? 1 : 0;
        }
      }
    } else if (type == XML_READER_TYPE_END_ELEMENT) {
      auto name = stream.Name();
      if (name == c_name) {
        store();
        in_cell = in_value = in_inline = in_text = false;
      } else if (name == v_name) {
        in_value = false;
      } else if (name == t_name) {
        in_text = false;
      } else if (name == rph_name && stream.Depth() == phonetic_depth) {
        phonetic_depth = -1;
      } else if (name == is_name) {
        in_inline = false;
      } else if (name == sheet_view) {
        in_first_view = false;
      }
    } else if ((in_value || in_text) && stream.IsText()) {
      AppendText(value, stream.Value(), label, [&] {
        return "cell " + CellAddress{row, column}.ToString();
      });
    }
  }
  return is_protected;
}

}  // namespace orv
