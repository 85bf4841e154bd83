#include "shell/outside/xlsx/XlsxDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cerrno>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <pugixml.hpp>
#include <sstream>

#include "shell/outside/base/AtomicFile.h"
#include "shell/outside/base/SystemError.h"
#include "shell/outside/base/TemporaryFolder.h"
#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/DeflatedFile.h"
#include "shell/outside/xlsx/SheetXmlMerger.h"
#include "shell/outside/xlsx/SheetXmlReader.h"
#include "shell/outside/xlsx/WorkbookError.h"

namespace orv {
namespace {

constexpr const char* kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kCustomPropertiesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
constexpr const char* kStylesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
constexpr const char* kPropertyFormatId = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";

std::string_view LocalName(std::string_view name) {
  auto colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string PrefixOf(const pugi::xml_node& node) {
  std::string_view name = node.name();
  auto colon = name.find(':');
  return colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1));
}

pugi::xml_node Child(const pugi::xml_node& node, std::string_view local) {
  for (auto child : node.children()) {
    if (child.type() == pugi::node_element && LocalName(child.name()) == local) return child;
  }
  return {};
}

std::vector<pugi::xml_node> Children(const pugi::xml_node& node, std::string_view local) {
  std::vector<pugi::xml_node> found;
  for (auto child : node.children()) {
    if (child.type() == pugi::node_element && LocalName(child.name()) == local)
      found.push_back(child);
  }
  return found;
}

// The r:id attribute, whatever prefix the file gives the relationships namespace.
std::string RelationshipId(const pugi::xml_node& node) {
  for (auto attribute : node.attributes()) {
    std::string_view name = attribute.name();
    if (name.find(':') != std::string_view::npos && LocalName(name) == "id")
      return attribute.value();
  }
  return {};
}

bool EndsWith(std::string_view text, std::string_view tail) { return text.ends_with(tail); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A relationship target resolved against the folder of the part that names it.
std::string ResolveTarget(std::string_view source_part, std::string_view target) {
  std::string base;
  if (!target.empty() && target.front() == '/') {
    target.remove_prefix(1);
  } else {
    auto slash = source_part.rfind('/');
    if (slash != std::string_view::npos) base = std::string(source_part.substr(0, slash + 1));
  }
  std::vector<std::string> segments;
  std::string whole = base + std::string(target);
  std::stringstream stream(whole);
  std::string segment;
  while (std::getline(stream, segment, '/')) {
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
  }
  std::string resolved;
  for (const auto& s : segments) resolved += (resolved.empty() ? "" : "/") + s;
  return resolved;
}

// The relationships part of a part: xl/workbook.xml -> xl/_rels/workbook.xml.rels.
std::string RelationshipsPartOf(std::string_view part) {
  auto slash = part.rfind('/');
  if (slash == std::string_view::npos) return "_rels/" + std::string(part) + ".rels";
  return std::string(part.substr(0, slash + 1)) + "_rels/" + std::string(part.substr(slash + 1)) +
         ".rels";
}

// Whether a number format code shows a date or a time: any of d, m, y, h, s outside quoted
// text, escapes and colour or condition brackets.
bool IsDateFormatCode(std::string_view code) {
  auto section_end = code.find(';');
  code = code.substr(0, section_end);
  for (std::size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    if (c == '"') {
      auto close = code.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;
    } else if (c == '[') {
      auto close = code.find(']', i + 1);
      if (close == std::string_view::npos) return false;
      auto inside = code.substr(i + 1, close - i - 1);
      if (!inside.empty() && (std::tolower(static_cast<unsigned char>(inside[0])) == 'h' ||
                              std::tolower(static_cast<unsigned char>(inside[0])) == 's' ||
                              inside == "m" || inside == "mm")) {
        return true;
      }
      i = close;
    } else {
      char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (lower == 'd' || lower == 'm' || lower == 'y' || lower == 'h' || lower == 's') return true;
    }
  }
  return false;
}

bool IsBuiltinDateFormat(unsigned id) {
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
         (id >= 50 && id <= 58);
}

// Device, inode, size and modification time of a file.
std::string FileStamp(const std::filesystem::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino) + ":" +
         std::to_string(status.st_size) + ":" + std::to_string(status.st_mtim.tv_sec) + "." +
         std::to_string(status.st_mtim.tv_nsec);
}

// Gives the new file the mode and owner of the one it replaces. Only root may give a file to
// another user: a save by someone else leaves the file theirs, in the original's group when they
// belong to it.
void KeepModeAndOwner(const std::filesystem::path& original, const std::filesystem::path& copy) {
  struct stat status {};
  if (::stat(original.c_str(), &status) != 0) return;
  ::chmod(copy.c_str(), status.st_mode & 07777);
  if (::chown(copy.c_str(), status.st_uid, status.st_gid) != 0 &&
      ::chown(copy.c_str(), static_cast<uid_t>(-1), status.st_gid) != 0) {
    // Neither owner nor group can be kept: the file becomes the saving user's, as any editor's.
  }
  // chown may clear the set-id bits; the mode goes on last.
  ::chmod(copy.c_str(), status.st_mode & 07777);
}

}  // namespace

struct XlsxDocument::Sheet {
  std::string name;
  std::string part;
  bool worksheet = true;
  std::unique_ptr<SheetCells> cells;
  SheetView view;
  bool view_changed = false;
  bool is_protected = false;
};

struct XmlPart {
  std::string name;
  pugi::xml_document document;
  bool present = false;
  bool changed = false;
};

struct XlsxDocument::Parts {
  XmlPart content_types, root_relationships, workbook, workbook_relationships, styles, custom;
  std::string shared_strings;
};

XlsxDocument::XlsxDocument(std::filesystem::path path, const ZipLimits& limits)
    : path_(std::move(path)), limits_(limits), parts_(std::make_unique<Parts>()) {}

XlsxDocument::~XlsxDocument() = default;

std::unique_ptr<XlsxDocument> XlsxDocument::Open(const std::filesystem::path& path,
                                                 const ZipLimits& limits) {
  std::error_code error;
  auto resolved = std::filesystem::is_symlink(path, error)
                      ? std::filesystem::weakly_canonical(path, error)
                      : path;
  if (error) resolved = path;
  std::unique_ptr<XlsxDocument> document(new XlsxDocument(resolved, limits));
  document->file_stamp_ = FileStamp(resolved);
  document->archive_ = ZipArchive::Open(resolved, limits);
  TemporaryFolder::RemoveStale(resolved.has_parent_path() ? resolved.parent_path() : ".");
  document->Load();
  return document;
}

namespace {

void ParsePart(const ZipArchive& archive, XmlPart& part, const std::string& name, bool required) {
  part.name = archive.EntryName(name);
  if (!archive.Has(name)) {
    if (required) throw WorkbookError(archive.Path().string(), "missing part " + name);
    return;
  }
  std::string content = archive.ReadAll(name);
  auto result = part.document.load_buffer(
      content.data(), content.size(),
      pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single);
  if (!result) {
    throw WorkbookError(archive.Path().string() + ": " + name,
                        std::string("malformed XML (") + result.description() + " at offset " +
                            std::to_string(result.offset) + ")");
  }
  part.present = true;
}

}  // namespace

void XlsxDocument::Load() {
  const std::string file = path_.string();
  auto& parts = *parts_;
  ParsePart(*archive_, parts.content_types, "[Content_Types].xml", true);
  ParsePart(*archive_, parts.root_relationships, "_rels/.rels", true);

  std::string workbook_part;
  std::string custom_part;
  for (auto rel : Children(parts.root_relationships.document.document_element(), "Relationship")) {
    std::string_view type = rel.attribute("Type").value();
    if (EndsWith(type, "/officeDocument"))
      workbook_part = ResolveTarget("", rel.attribute("Target").value());
    if (EndsWith(type, "/custom-properties"))
      custom_part = ResolveTarget("", rel.attribute("Target").value());
  }
  if (workbook_part.empty()) throw WorkbookError(file, "no workbook part named in _rels/.rels");
  ParsePart(*archive_, parts.workbook, workbook_part, true);
  ParsePart(*archive_, parts.workbook_relationships, RelationshipsPartOf(workbook_part), true);
  if (!custom_part.empty()) ParsePart(*archive_, parts.custom, custom_part, false);

  auto workbook = parts.workbook.document.document_element();
  if (LocalName(workbook.name()) != "workbook") {
    throw WorkbookError(file + ": " + workbook_part, "not a workbook part");
  }
  struct Target {
    std::string type, part;
  };
  std::vector<std::pair<std::string, Target>> targets;
  std::string styles_part;
  for (auto rel :
       Children(parts.workbook_relationships.document.document_element(), "Relationship")) {
    if (std::string_view(rel.attribute("TargetMode").value()) == "External") continue;
    Target target{rel.attribute("Type").value(),
                  ResolveTarget(workbook_part, rel.attribute("Target").value())};
    if (EndsWith(target.type, "/sharedStrings")) parts.shared_strings = target.part;
    if (EndsWith(target.type, "/styles")) styles_part = target.part;
    targets.emplace_back(rel.attribute("Id").value(), target);
  }

  auto properties = Child(workbook, "workbookPr");
  std::string_view date1904 = properties.attribute("date1904").value();
  date1904_ = date1904 == "1" || date1904 == "true";

  for (auto node : Children(Child(workbook, "sheets"), "sheet")) {
    auto sheet = std::make_unique<Sheet>();
    sheet->name = node.attribute("name").value();
    auto id = RelationshipId(node);
    auto found =
        std::find_if(targets.begin(), targets.end(), [&](const auto& t) { return t.first == id; });
    if (found == targets.end()) {
      throw WorkbookError(
          file, "sheet '" + sheet->name + "' has no part (relationship " + id + " missing)");
    }
    sheet->part = archive_->EntryName(found->second.part);
    sheet->worksheet = EndsWith(found->second.type, "/worksheet");
    if (!archive_->Has(sheet->part)) {
      throw WorkbookError(file, "missing part " + sheet->part + " of sheet '" + sheet->name + "'");
    }
    sheets_.push_back(std::move(sheet));
  }
  if (sheets_.empty()) throw WorkbookError(file, "the workbook has no sheets");

  for (auto node : Children(Child(workbook, "definedNames"), "definedName")) {
    DefinedName name;
    name.name = node.attribute("name").value();
    auto local = node.attribute("localSheetId");
    if (!local.empty()) name.local_sheet = local.as_uint();
    name.hidden = node.attribute("hidden").as_bool();
    name.formula = node.text().get();
    names_.push_back(std::move(name));
  }
  auto view = Child(Child(workbook, "bookViews"), "workbookView");
  active_tab_ = view.attribute("activeTab").as_uint(0);
  if (active_tab_ >= sheets_.size()) active_tab_ = 0;

  if (!styles_part.empty()) {
    ParsePart(*archive_, parts.styles, styles_part, true);
    auto styles = parts.styles.document.document_element();
    std::vector<std::pair<unsigned, bool>> formats;
    for (auto format : Children(Child(styles, "numFmts"), "numFmt")) {
      formats.emplace_back(format.attribute("numFmtId").as_uint(),
                           IsDateFormatCode(format.attribute("formatCode").value()));
    }
    for (auto xf : Children(Child(styles, "cellXfs"), "xf")) {
      unsigned id = xf.attribute("numFmtId").as_uint(0);
      auto custom = std::find_if(formats.begin(), formats.end(),
                                 [&](const auto& f) { return f.first == id; });
      date_styles_.push_back(custom != formats.end() ? custom->second : IsBuiltinDateFormat(id));
    }
  }
  if (!parts.shared_strings.empty() && archive_->Has(parts.shared_strings)) {
    auto reader = archive_->OpenEntry(parts.shared_strings);
    SheetXmlReader::ReadSharedStrings(*reader, file + ": " + parts.shared_strings, shared_strings_);
  }
}

void XlsxDocument::LoadSheet(Sheet& sheet) {
  sheet.cells = std::make_unique<SheetCells>(shared_strings_);
  if (!sheet.worksheet) return;
  auto reader = archive_->OpenEntry(sheet.part);
  sheet.is_protected = SheetXmlReader::ReadSheet(*reader, path_.string() + ": " + sheet.part,
                                                 date_styles_, *sheet.cells, sheet.view);
}

const std::string& XlsxDocument::SheetName(std::size_t sheet) const {
  return sheets_.at(sheet)->name;
}

bool XlsxDocument::IsWorksheet(std::size_t sheet) const { return sheets_.at(sheet)->worksheet; }

std::optional<std::size_t> XlsxDocument::FindSheet(std::string_view name) const {
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    if (EqualNoCase(sheets_[i]->name, name)) return i;
  }
  return std::nullopt;
}

SheetCells& XlsxDocument::Cells(std::size_t sheet) {
  auto& entry = *sheets_.at(sheet);
  if (!entry.cells) LoadSheet(entry);
  return *entry.cells;
}

CellValue XlsxDocument::Cell(std::size_t sheet, std::uint32_t row, std::uint32_t column) {
  return Cells(sheet).Get(row, column);
}

void XlsxDocument::SetCell(std::size_t sheet, std::uint32_t row, std::uint32_t column,
                           const CellValue& value) {
  if (!sheets_.at(sheet)->worksheet) {
    throw WorkbookError(path_.string(),
                        "sheet '" + sheets_[sheet]->name + "' is a chart sheet; it has no cells");
  }
  auto& cells = Cells(sheet);
  if (sheets_[sheet]->is_protected) throw WorkbookError(path_.string(), Protected(sheet));
  cells.Set(row, column, value);
}

std::string XlsxDocument::Protected(std::size_t sheet) const {
  return "sheet '" + sheets_[sheet]->name +
         "' is protected; remove the protection in your spreadsheet program to write into it";
}

void XlsxDocument::SetDefinedName(std::string_view name, std::string_view formula,
                                  std::optional<std::size_t> local_sheet) {
  auto workbook = parts_->workbook.document.document_element();
  auto names = Child(workbook, "definedNames");
  std::string prefix = PrefixOf(workbook);
  if (!names) {
    auto after = Child(workbook, "externalReferences");
    if (!after) after = Child(workbook, "functionGroups");
    if (!after) after = Child(workbook, "sheets");
    names = workbook.insert_child_after((prefix + "definedNames").c_str(), after);
  }
  pugi::xml_node node;
  for (auto candidate : Children(names, "definedName")) {
    auto local = candidate.attribute("localSheetId");
    bool same_scope =
        local_sheet ? !local.empty() && local.as_uint() == *local_sheet : local.empty();
    if (same_scope && EqualNoCase(candidate.attribute("name").value(), name)) node = candidate;
  }
  if (!node) {
    node = names.append_child((prefix + "definedName").c_str());
    node.append_attribute("name") = std::string(name).c_str();
    if (local_sheet)
      node.append_attribute("localSheetId") = static_cast<unsigned int>(*local_sheet);
  }
  node.text().set(std::string(formula).c_str());
  parts_->workbook.changed = true;
  auto existing = std::find_if(names_.begin(), names_.end(), [&](const DefinedName& n) {
    return n.local_sheet == local_sheet && EqualNoCase(n.name, name);
  });
  if (existing != names_.end()) {
    existing->formula = formula;
  } else {
    names_.push_back({std::string(name), local_sheet, std::string(formula), false});
  }
}

void XlsxDocument::SetActiveTab(std::size_t sheet) {
  if (sheet >= sheets_.size())
    throw WorkbookError(path_.string(), "no sheet number " + std::to_string(sheet + 1));
  if (sheet == active_tab_) return;
  auto workbook = parts_->workbook.document.document_element();
  std::string prefix = PrefixOf(workbook);
  auto views = Child(workbook, "bookViews");
  if (!views)
    views = workbook.insert_child_before((prefix + "bookViews").c_str(), Child(workbook, "sheets"));
  auto view = Child(views, "workbookView");
  if (!view) view = views.append_child((prefix + "workbookView").c_str());
  if (view.attribute("activeTab").empty()) view.append_attribute("activeTab");
  view.attribute("activeTab") = static_cast<unsigned>(sheet);
  parts_->workbook.changed = true;
  for (std::size_t i : {active_tab_, sheet}) {
    if (!sheets_[i]->worksheet) continue;
    View(i);
    sheets_[i]->view.tab_selected = i == sheet;
    sheets_[i]->view_changed = true;
  }
  active_tab_ = sheet;
}

const SheetView& XlsxDocument::View(std::size_t sheet) {
  Cells(sheet);
  return sheets_[sheet]->view;
}

void XlsxDocument::SetSelection(std::size_t sheet, std::string active_cell, std::string sqref) {
  Cells(sheet);
  auto& entry = *sheets_[sheet];
  entry.view.active_cell = std::move(active_cell);
  entry.view.sqref = std::move(sqref);
  entry.view_changed = true;
}

void XlsxDocument::SelectRows(std::size_t sheet, std::uint32_t first_row, std::uint32_t last_row) {
  SetActiveTab(sheet);
  SetSelection(sheet, CellAddress{first_row, 1}.ToString(),
               std::to_string(first_row) + ":" + std::to_string(last_row));
}

bool XlsxDocument::IsDateStyle(std::uint32_t style) const {
  return style < date_styles_.size() && date_styles_[style];
}

void XlsxDocument::AddPackagePart(const std::string& part, const std::string& content_type,
                                  const std::string& relationship_type, bool from_workbook) {
  auto types = parts_->content_types.document.document_element();
  auto override_node = types.append_child((PrefixOf(types) + "Override").c_str());
  override_node.append_attribute("PartName") = ("/" + part).c_str();
  override_node.append_attribute("ContentType") = content_type.c_str();
  parts_->content_types.changed = true;
  auto& rels_part = from_workbook ? parts_->workbook_relationships : parts_->root_relationships;
  auto rels = rels_part.document.document_element();
  if (!rels) {
    rels = rels_part.document.append_child("Relationships");
    rels.append_attribute("xmlns") = kRelationshipsNamespace;
  }
  int next = 1;
  for (auto rel : Children(rels, "Relationship")) {
    std::string_view id = rel.attribute("Id").value();
    if (id.starts_with("rId"))
      next = std::max(next, std::atoi(std::string(id.substr(3)).c_str()) + 1);
  }
  auto rel = rels.append_child((PrefixOf(rels) + "Relationship").c_str());
  rel.append_attribute("Id") = ("rId" + std::to_string(next)).c_str();
  rel.append_attribute("Type") = relationship_type.c_str();
  std::string target = part;
  if (from_workbook) {
    auto folder = parts_->workbook.name.substr(0, parts_->workbook.name.rfind('/') + 1);
    if (target.starts_with(folder)) target = target.substr(folder.size());
  }
  rel.append_attribute("Target") = target.c_str();
  rels_part.changed = true;
}

std::uint32_t XlsxDocument::DateStyle() {
  if (date_style_) return *date_style_;
  auto& styles = parts_->styles;
  if (!styles.present) {
    auto folder = parts_->workbook.name.substr(0, parts_->workbook.name.rfind('/') + 1);
    styles.name = folder + "styles.xml";
    styles.document.load_string(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
        "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
        "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
        "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
        "borderId=\"0\"/></cellStyleXfs>"
        "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
        "xfId=\"0\"/></cellXfs>"
        "</styleSheet>",
        pugi::parse_default | pugi::parse_declaration);
    styles.present = true;
    date_styles_.assign(1, false);
    AddPackagePart(styles.name,
                   "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml",
                   kStylesType, true);
  }
  auto sheet = styles.document.document_element();
  std::string prefix = PrefixOf(sheet);
  auto formats = Child(sheet, "numFmts");
  unsigned format_id = 0;
  unsigned highest = 163;
  for (auto format : Children(formats, "numFmt")) {
    highest = std::max(highest, format.attribute("numFmtId").as_uint());
    if (std::string_view(format.attribute("formatCode").value()) == "dd/mm/yyyy") {
      format_id = format.attribute("numFmtId").as_uint();
    }
  }
  if (format_id == 0) {
    if (!formats) formats = sheet.prepend_child((prefix + "numFmts").c_str());
    format_id = highest + 1;
    auto format = formats.append_child((prefix + "numFmt").c_str());
    format.append_attribute("numFmtId") = format_id;
    format.append_attribute("formatCode") = "dd/mm/yyyy";
    if (formats.attribute("count").empty()) formats.append_attribute("count");
    formats.attribute("count") = static_cast<unsigned>(Children(formats, "numFmt").size());
  }
  auto xfs = Child(sheet, "cellXfs");
  if (!xfs) throw WorkbookError(path_.string() + ": " + styles.name, "no cellXfs element");
  auto xf = xfs.append_child((prefix + "xf").c_str());
  xf.append_attribute("numFmtId") = format_id;
  xf.append_attribute("fontId") = 0;
  xf.append_attribute("fillId") = 0;
  xf.append_attribute("borderId") = 0;
  xf.append_attribute("xfId") = 0;
  xf.append_attribute("applyNumberFormat") = 1;
  auto count = static_cast<unsigned>(Children(xfs, "xf").size());
  if (xfs.attribute("count").empty()) xfs.append_attribute("count");
  xfs.attribute("count") = count;
  styles.changed = true;
  date_style_ = count - 1;
  if (date_styles_.size() < count) date_styles_.resize(count, false);
  date_styles_[count - 1] = true;
  return *date_style_;
}

std::optional<std::string> XlsxDocument::CustomProperty(std::string_view name) const {
  if (!parts_->custom.present) return std::nullopt;
  for (auto property : Children(parts_->custom.document.document_element(), "property")) {
    if (std::string_view(property.attribute("name").value()) == name) {
      return std::string(property.first_child().text().get());
    }
  }
  return std::nullopt;
}

void XlsxDocument::SetCustomProperty(std::string_view name, std::string_view value) {
  auto& custom = parts_->custom;
  if (!custom.present) {
    custom.name = "docProps/custom.xml";
    custom.document.load_string(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Properties "
        "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
        "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\"/>",
        pugi::parse_default | pugi::parse_declaration);
    custom.present = true;
    AddPackagePart(custom.name,
                   "application/vnd.openxmlformats-officedocument.custom-properties+xml",
                   kCustomPropertiesType, false);
  }
  auto root = custom.document.document_element();
  int pid = 1;
  for (auto property : Children(root, "property")) {
    if (std::string_view(property.attribute("name").value()) == name) {
      // The same value again is no change: a workbook that was only read is not rewritten.
      auto text = property.first_child();
      if (std::string_view(text.name()).ends_with("lpwstr") && !text.next_sibling() &&
          std::string_view(text.text().get()) == value)
        return;
      property.remove_children();
      property.append_child("vt:lpwstr").text().set(std::string(value).c_str());
      custom.changed = true;
      return;
    }
    pid = std::max(pid, property.attribute("pid").as_int());
  }
  auto property = root.append_child((PrefixOf(root) + "property").c_str());
  property.append_attribute("fmtid") = kPropertyFormatId;
  property.append_attribute("pid") = pid + 1;
  property.append_attribute("name") = std::string(name).c_str();
  property.append_child("vt:lpwstr").text().set(std::string(value).c_str());
  custom.changed = true;
}

void XlsxDocument::RemoveCustomProperty(std::string_view name) {
  if (!parts_->custom.present) return;
  auto root = parts_->custom.document.document_element();
  for (auto property : Children(root, "property")) {
    if (std::string_view(property.attribute("name").value()) == name) {
      root.remove_child(property);
      parts_->custom.changed = true;
    }
  }
}

void XlsxDocument::DropCalculationChain(zip* archive) {
  auto rels = parts_->workbook_relationships.document.document_element();
  for (auto rel : Children(rels, "Relationship")) {
    if (!EndsWith(rel.attribute("Type").value(), "/calcChain")) continue;
    auto part = ResolveTarget(parts_->workbook.name, rel.attribute("Target").value());
    auto index = zip_name_locate(archive, part.c_str(), 0);
    if (index >= 0) zip_delete(archive, static_cast<zip_uint64_t>(index));
    rels.remove_child(rel);
    parts_->workbook_relationships.changed = true;
    auto types = parts_->content_types.document.document_element();
    for (auto type : Children(types, "Override")) {
      if (std::string_view(type.attribute("PartName").value()) == "/" + part) {
        types.remove_child(type);
        parts_->content_types.changed = true;
      }
    }
    return;
  }
}

bool XlsxDocument::HasChanges() const {
  const auto& p = *parts_;
  if (p.content_types.changed || p.root_relationships.changed || p.workbook.changed ||
      p.workbook_relationships.changed || p.styles.changed || p.custom.changed) {
    return true;
  }
  return std::any_of(sheets_.begin(), sheets_.end(), [](const auto& sheet) {
    return sheet->view_changed || (sheet->cells && sheet->cells->HasChanges());
  });
}

std::optional<std::string> XlsxDocument::LockWarning() const {
  auto folder = path_.has_parent_path() ? path_.parent_path() : std::filesystem::path(".");
  auto file = path_.filename().string();
  for (const auto& lock : {folder / (".~lock." + file + "#"), folder / ("~$" + file)}) {
    std::error_code error;
    if (std::filesystem::exists(lock, error)) {
      return path_.string() + " is open in another program (lock file " + lock.filename().string() +
             "); saving now may lose the changes made there";
    }
  }
  return std::nullopt;
}

std::optional<std::string> XlsxDocument::HardLinkWarning() const {
  struct stat status {};
  if (::stat(path_.c_str(), &status) != 0 || status.st_nlink < 2) return std::nullopt;
  return path_.string() + " has " + std::to_string(status.st_nlink - 1) +
         " other hard link(s); saving replaces the file under this name only, the other names "
         "keep the old content";
}

void XlsxDocument::CheckWritable(const std::filesystem::path& path) {
  auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  // As the user, not by mode bits: root, ACLs and read-only mounts all count.
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
    throw WorkbookError(path.string(), "the file is read-only to you (" + SystemError::Text(errno) +
                                           "); it was not changed");
  if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
    throw WorkbookError(path.string(), "its folder is read-only to you (" +
                                           SystemError::Text(errno) +
                                           "), so it cannot be saved; it was not changed");
}

void XlsxDocument::Save(const Checkpoint& checkpoint) {
  auto step = [&](std::string_view name) {
    if (checkpoint) checkpoint(name);
  };
  if (!HasChanges()) return;
  const std::string file = path_.string();
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    const auto& sheet = *sheets_[i];
    if (sheet.is_protected && sheet.cells && sheet.cells->HasChanges())
      throw WorkbookError(file, Protected(i) + "; not saved");
  }
  auto changed_elsewhere = [&] {
    if (FileStamp(path_) != file_stamp_) {
      throw WorkbookError(file,
                          "the file was changed by another program since it was opened; not saved");
    }
  };
  changed_elsewhere();
  auto disk_error = [&](const std::string& what, int error_number) {
    throw WorkbookError(file, what + ": " + SystemError::Text(error_number));
  };
  // Every temporary of this save lives in one folder, removed however the save ends.
  TemporaryFolder scratch_folder(path_);
  const auto copy = scratch_folder.Path() / "workbook.xlsx";
  std::error_code error;
  std::filesystem::copy_file(path_, copy, error);
  if (error) disk_error("cannot write a temporary copy", error.value());
  step("copy");

  int code = 0;
  zip_t* raw_archive = zip_open(copy.c_str(), 0, &code);
  if (raw_archive == nullptr) throw WorkbookError(file, "cannot reopen the temporary copy");
  struct Discard {
    zip_t* archive;
    ~Discard() {
      if (archive != nullptr) zip_discard(archive);
    }
  } output{raw_archive};
  auto fail = [&](const std::string& what) {
    zip_error_t* zip_error = zip_get_error(output.archive);
    if (zip_error_system_type(zip_error) == ZIP_ET_SYS &&
        SystemError::DiskFull(zip_error_code_system(zip_error)))
      disk_error(what, zip_error_code_system(zip_error));
    throw WorkbookError(file, what + ": " + zip_error_strerror(zip_error));
  };

  bool formula_replaced = false;
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    auto& sheet = sheets_[i];
    bool cells_changed = sheet->cells && sheet->cells->HasChanges();
    if (!cells_changed && !sheet->view_changed) continue;
    // The sheet is compressed on a second thread while it is merged, at level 1: deflate
    // dominates saving a large sheet, and level 1 is several times faster than the usual 6.
    const auto scratch = scratch_folder.Path() / ("sheet" + std::to_string(i + 1) + ".deflated");
    DeflatedFile deflated(scratch, file + ": " + sheet->part, 1);
    {
      SheetXmlMerger::Changes changes;
      changes.cells = sheet->cells.get();
      changes.is_date_style = [this](std::uint32_t style) { return IsDateStyle(style); };
      changes.date_style = [this] { return DateStyle(); };
      changes.view = sheet->view_changed ? &sheet->view : nullptr;
      changes.formula_replaced = &formula_replaced;
      if (auto extent = sheet->cells->Extent()) {
        changes.dimension = CellAddress{extent->first_row, extent->first_column}.ToString();
        if (extent->last_row != extent->first_row || extent->last_column != extent->first_column) {
          changes.dimension += ":" + CellAddress{extent->last_row, extent->last_column}.ToString();
        }
      }
      auto reader = archive_->OpenEntry(sheet->part);
      SheetXmlMerger::Merge(*reader, file + ": " + sheet->part, changes,
                            [&](std::string&& bytes) { deflated.Write(std::move(bytes)); });
    }
    // The sheet goes in as a new entry, its data as compressed above. The entry moves to the
    // end of the zip, which readers ignore.
    auto index = zip_name_locate(output.archive, sheet->part.c_str(), 0);
    if (index < 0 || zip_delete(output.archive, static_cast<zip_uint64_t>(index)) != 0) {
      fail("cannot replace " + sheet->part);
    }
    zip_source_t* source = deflated.Finish(output.archive);
    auto added = zip_file_add(output.archive, sheet->part.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (added < 0) {
      zip_source_free(source);
      fail("cannot replace " + sheet->part);
    }
    // Deflated already: libzip copies data whose method is the entry's own as it stands.
    zip_set_file_compression(output.archive, static_cast<zip_uint64_t>(added), ZIP_CM_DEFLATE, 1);
    step("sheet");
  }

  // Excel rebuilds a missing calculation chain but may call a stale one corrupt.
  if (formula_replaced) DropCalculationChain(output.archive);
  std::deque<std::string> contents;
  for (XmlPart* part : {&parts_->content_types, &parts_->root_relationships, &parts_->workbook,
                        &parts_->workbook_relationships, &parts_->styles, &parts_->custom}) {
    if (!part->changed) continue;
    std::ostringstream stream;
    part->document.save(stream, "", pugi::format_raw | pugi::format_no_declaration);
    contents.push_back(stream.str());
    if (part->document.first_child().type() != pugi::node_declaration) {
      contents.back().insert(0, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n");
    }
    zip_source_t* source =
        zip_source_buffer(output.archive, contents.back().data(), contents.back().size(), 0);
    if (source == nullptr || zip_file_add(output.archive, part->name.c_str(), source,
                                          ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
      if (source != nullptr) zip_source_free(source);
      fail("cannot write " + part->name);
    }
  }

  if (zip_close(output.archive) != 0) fail("cannot write the new file");
  output.archive = nullptr;
  KeepModeAndOwner(path_, copy);
  step("archive");
  step("rename");
  // Another program may have replaced the file while this one was being written.
  changed_elsewhere();
  AtomicFile::Commit(copy, path_);

  file_stamp_ = FileStamp(path_);
  archive_ = ZipArchive::Open(path_, limits_);
  for (XmlPart* part : {&parts_->content_types, &parts_->root_relationships, &parts_->workbook,
                        &parts_->workbook_relationships, &parts_->styles, &parts_->custom}) {
    part->changed = false;
  }
  for (auto& sheet : sheets_) {
    if (sheet->cells) sheet->cells->ForgetChanges();
    sheet->view_changed = false;
  }
}

}  // namespace orv
