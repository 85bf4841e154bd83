#include "shell/outside/xlsx/SheetXmlReader.h"

#include <libxml/parser.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <string>

#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/XmlText.h"

namespace orv {
namespace {

// libxml2 prints some errors itself (those of converting an encoding, of its input), whatever the
// parser's options say; the reader reports every error through its exception instead.
void Unprinted(void*, const char*, ...) {}

// libxml2's push parser with SAX2 callbacks over a zip entry: a sheet of a hundred thousand rows
// passes in a few seconds (its pull reader builds and frees a node for every element and takes
// about twice as long). Element names are compared as pointers into the parser's dictionary.
// The handler gets Start(name, attributes, depth), End(name, depth) and Text(text); an exception
// it throws stops the parser and comes out of Parse.
class SaxParser {
 public:
  struct Attributes {
    // libxml2's layout: per attribute localname, prefix, URI, value begin, value end.
    const xmlChar** data;
    int count;
    // The value of the unprefixed attribute `name` (an interned pointer), empty when missing.
    std::string_view Get(const xmlChar* name) const {
      for (int i = 0; i < count; ++i) {
        const xmlChar** at = data + 5 * i;
        if (at[0] == name && at[1] == nullptr) return Value(i);
      }
      return {};
    }
    std::string_view Value(int i) const {
      const xmlChar** at = data + 5 * i;
      return {reinterpret_cast<const char*>(at[3]), static_cast<std::size_t>(at[4] - at[3])};
    }
    const char* LocalName(int i) const { return reinterpret_cast<const char*>(data[5 * i]); }
  };

  SaxParser(ZipArchive::Reader& part, const std::string& label) : part_(part), label_(label) {
    std::memset(&handler_, 0, sizeof handler_);
    handler_.initialized = XML_SAX2_MAGIC;
    handler_.startElementNs = &SaxParser::OnStart;
    handler_.endElementNs = &SaxParser::OnEnd;
    handler_.characters = &SaxParser::OnText;
    handler_.ignorableWhitespace = &SaxParser::OnText;
    handler_.cdataBlock = &SaxParser::OnText;
    xmlSetGenericErrorFunc(nullptr, Unprinted);
    // The first bytes tell the parser the document's encoding.
    first_ = part_.Read(buffer_, 4);
    context_ = xmlCreatePushParserCtxt(&handler_, this, buffer_, static_cast<int>(first_), nullptr);
    if (context_ == nullptr) throw WorkbookError(label_, "cannot start the XML reader");
    xmlCtxtUseOptions(context_, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  }
  ~SaxParser() {
    if (context_->myDoc != nullptr) xmlFreeDoc(context_->myDoc);
    xmlFreeParserCtxt(context_);
  }
  SaxParser(const SaxParser&) = delete;
  SaxParser& operator=(const SaxParser&) = delete;

  const xmlChar* Intern(const char* name) {
    return xmlDictLookup(context_->dict, reinterpret_cast<const xmlChar*>(name), -1);
  }

  template <class Handler>
  void Parse(Handler& handler) {
    start_ = [](void* h, const xmlChar* name, const Attributes& attributes, int depth) {
      static_cast<Handler*>(h)->Start(name, attributes, depth);
    };
    end_ = [](void* h, const xmlChar* name, int depth) {
      static_cast<Handler*>(h)->End(name, depth);
    };
    text_ = [](void* h, std::string_view text) { static_cast<Handler*>(h)->Text(text); };
    handler_object_ = &handler;
    for (;;) {
      std::size_t got = 0;
      try {
        got = part_.Read(buffer_, sizeof buffer_);
      } catch (...) {
        failure_ = std::current_exception();
      }
      Check(xmlParseChunk(context_, buffer_, static_cast<int>(got), got == 0 ? 1 : 0));
      if (got == 0) break;
    }
  }

 private:
  void Check(int result) {
    if (failure_) std::rethrow_exception(failure_);
    if (result == 0 && context_->wellFormed) return;
    const xmlError* error = xmlCtxtGetLastError(context_);
    std::string detail = error && error->message ? error->message : "parse error";
    while (!detail.empty() && (detail.back() == '\n' || detail.back() == ' ')) detail.pop_back();
    if (detail.find("huge text node") != std::string::npos)
      throw WorkbookError(label_, "too large: a text in it is longer than any cell can hold");
    throw WorkbookError(label_, "malformed XML (" + detail + ")");
  }

  // Called from the parser: an exception must not cross it, so it is kept and the parser stopped.
  template <class Call>
  static void Guarded(void* self, Call&& call) {
    auto* parser = static_cast<SaxParser*>(self);
    if (parser->failure_) return;
    try {
      call(*parser);
    } catch (...) {
      parser->failure_ = std::current_exception();
      xmlStopParser(parser->context_);
    }
  }
  static void OnStart(void* self, const xmlChar* name, const xmlChar*, const xmlChar*, int,
                      const xmlChar**, int count, int, const xmlChar** attributes) {
    Guarded(self, [&](SaxParser& parser) {
      parser.start_(parser.handler_object_, name, Attributes{attributes, count}, parser.depth_++);
    });
  }
  static void OnEnd(void* self, const xmlChar* name, const xmlChar*, const xmlChar*) {
    Guarded(self,
            [&](SaxParser& parser) { parser.end_(parser.handler_object_, name, --parser.depth_); });
  }
  static void OnText(void* self, const xmlChar* text, int length) {
    Guarded(self, [&](SaxParser& parser) {
      parser.text_(parser.handler_object_,
                   {reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)});
    });
  }

  ZipArchive::Reader& part_;
  const std::string& label_;
  xmlSAXHandler handler_;
  xmlParserCtxtPtr context_ = nullptr;
  char buffer_[1 << 16];
  std::size_t first_ = 0;
  int depth_ = 0;
  std::exception_ptr failure_;
  void* handler_object_ = nullptr;
  void (*start_)(void*, const xmlChar*, const Attributes&, int) = nullptr;
  void (*end_)(void*, const xmlChar*, int) = nullptr;
  void (*text_)(void*, std::string_view) = nullptr;
};

// Appends a text node to the text of one cell or shared string, within kMaxText; `where` names
// it for the error.
template <class Where>
void AppendText(std::string& text, std::string_view more, const std::string& label, Where&& where) {
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
  SaxParser parser(part, label);
  struct Handler {
    const std::string& label;
    StringPool& strings;
    const xmlChar* si;
    const xmlChar* t;
    const xmlChar* rph;
    std::string text{};
    bool in_item = false, in_text = false;
    int phonetic_depth = -1;

    void Start(const xmlChar* name, const SaxParser::Attributes&, int depth) {
      if (name == si) {
        text.clear();
        in_item = true;
      } else if (name == rph) {
        phonetic_depth = depth;
      } else if (name == t && in_item && phonetic_depth < 0) {
        in_text = true;
      }
    }
    void End(const xmlChar* name, int depth) {
      if (name == t) {
        in_text = false;
      } else if (name == rph && depth == phonetic_depth) {
        phonetic_depth = -1;
      } else if (name == si) {
        strings.Add(XmlText::DecodeCellText(text));
        in_item = false;
      }
    }
    void Text(std::string_view more) {
      if (!in_text) return;
      AppendText(text, more, label,
                 [&] { return "shared string " + std::to_string(strings.Size()); });
    }
  } handler{label, strings, parser.Intern("si"), parser.Intern("t"), parser.Intern("rPh")};
  parser.Parse(handler);
}

bool SheetXmlReader::ReadSheet(ZipArchive::Reader& part, const std::string& label,
                               const std::vector<bool>& date_styles, SheetCells& cells,
                               SheetView& view) {
  SaxParser parser(part, label);
  struct Handler {
    const std::string& label;
    const std::vector<bool>& date_styles;
    SheetCells& cells;
    SheetView& view;
    const xmlChar* row_name;
    const xmlChar* c_name;
    const xmlChar* v_name;
    const xmlChar* is_name;
    const xmlChar* t_name;
    const xmlChar* rph_name;
    const xmlChar* sheet_view;
    const xmlChar* pane_name;
    const xmlChar* selection_name;
    const xmlChar* protection_name;
    const xmlChar* r_attribute;
    const xmlChar* tab_selected;
    const xmlChar* active_pane_attribute;
    const xmlChar* sheet_attribute;
    const xmlChar* pane_attribute;
    const xmlChar* active_cell;
    const xmlChar* sqref;

    bool is_protected = false;
    std::uint32_t row = 0, column = 0;
    enum class Type { kNumber, kShared, kInline, kString, kBoolean, kError, kDate } cell_type{};
    bool date_style = false, in_cell = false, in_value = false, in_inline = false, in_text = false;
    bool has_value = false;
    int phonetic_depth = -1;
    int views_seen = 0;
    bool in_first_view = false;
    std::string active_pane{};
    int selection_rank = -1;
    std::string value{};

    void Store() {
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
    }

    // The r, s and t attributes of a cell, by local name.
    void StartCell(const SaxParser::Attributes& attributes) {
      std::string_view reference, style, t;
      for (int i = 0; i < attributes.count; ++i) {
        const char* name = attributes.LocalName(i);
        if (name[0] == 0 || name[1] != 0) continue;
        if (name[0] == 'r') reference = attributes.Value(i);
        if (name[0] == 's') style = attributes.Value(i);
        if (name[0] == 't') t = attributes.Value(i);
      }
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
      in_cell = true;
    }

    void Start(const xmlChar* name, const SaxParser::Attributes& attributes, int depth) {
      if (name == c_name) {
        StartCell(attributes);
      } else if (name == v_name && in_cell) {
        in_value = true;
        has_value = true;
      } else if (name == is_name && in_cell) {
        in_inline = true;
        has_value = true;
        cell_type = Type::kInline;
      } else if (name == t_name && in_inline && phonetic_depth < 0) {
        in_text = true;
      } else if (name == rph_name && in_inline) {
        phonetic_depth = depth;
      } else if (name == row_name) {
        auto r = attributes.Get(r_attribute);
        row = r.empty() ? row + 1 : ParseUnsigned(r);
        if (row == 0 || row > CellAddress::kMaxRow) {
          throw WorkbookError(label, "bad row number '" + std::string(r) + "'");
        }
        column = 0;
      } else if (name == sheet_view) {
        ++views_seen;
        in_first_view = views_seen == 1;
        if (views_seen == 1) {
          auto selected = attributes.Get(tab_selected);
          view.tab_selected = selected == "1" || selected == "true";
        }
      } else if (name == pane_name && in_first_view) {
        active_pane = attributes.Get(active_pane_attribute);
        if (active_pane.empty()) active_pane = "topLeft";
        view.pane = active_pane;
      } else if (name == protection_name) {
        auto sheet = attributes.Get(sheet_attribute);
        is_protected = sheet == "1" || sheet == "true";
      } else if (name == selection_name && in_first_view) {
        std::string pane(attributes.Get(pane_attribute));
        if (pane.empty()) pane = "topLeft";
        bool preferred = pane == (active_pane.empty() ? std::string("topLeft") : active_pane);
        if ((preferred && selection_rank < 1) || selection_rank < 0) {
          view.active_cell = attributes.Get(active_cell);
          view.sqref = attributes.Get(sqref);
          selection_rank = preferred ? 1 : 0;
        }
      }
    }

    void End(const xmlChar* name, int depth) {
      if (name == c_name) {
        Store();
        in_cell = in_value = in_inline = in_text = false;
      } else if (name == v_name) {
        in_value = false;
      } else if (name == t_name) {
        in_text = false;
      } else if (name == rph_name && depth == phonetic_depth) {
        phonetic_depth = -1;
      } else if (name == is_name) {
        in_inline = false;
      } else if (name == sheet_view) {
        in_first_view = false;
      }
    }

    void Text(std::string_view more) {
      if (!in_value && !in_text) return;
      AppendText(value, more, label, [&] { return "cell " + CellAddress{row, column}.ToString(); });
    }
  } handler{label,
            date_styles,
            cells,
            view,
            parser.Intern("row"),
            parser.Intern("c"),
            parser.Intern("v"),
            parser.Intern("is"),
            parser.Intern("t"),
            parser.Intern("rPh"),
            parser.Intern("sheetView"),
            parser.Intern("pane"),
            parser.Intern("selection"),
            parser.Intern("sheetProtection"),
            parser.Intern("r"),
            parser.Intern("tabSelected"),
            parser.Intern("activePane"),
            parser.Intern("sheet"),
            parser.Intern("pane"),
            parser.Intern("activeCell"),
            parser.Intern("sqref")};
  parser.Parse(handler);
  return handler.is_protected;
}

}  // namespace orv
