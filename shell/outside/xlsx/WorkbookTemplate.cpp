#include "shell/outside/xlsx/WorkbookTemplate.h"

#include <zip.h>

#include <algorithm>
#include <deque>
#include <set>

#include "shell/outside/base/AtomicFile.h"
#include "shell/outside/xlsx/AreaReference.h"
#include "shell/outside/xlsx/CellAddress.h"
#include "shell/outside/xlsx/RangeNames.h"
#include "shell/outside/xlsx/WorkbookError.h"
#include "shell/outside/xlsx/XlsxRangeList.h"
#include "shell/outside/xlsx/XmlText.h"

namespace orv {
namespace {

constexpr const char* kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Cell styles of the template.
enum Style { kGeneral = 0, kHeading = 1, kTextColumn = 2, kDateColumn = 3 };

std::string Escaped(std::string_view text) {
  std::string out;
  XmlText::AppendEscaped(out, text);
  return out;
}

std::string TypeName(std::int32_t type) {
  switch (type) {
    case RangeDefinition::kNumber:
      return "number";
    case RangeDefinition::kDate:
      return "date";
    case RangeDefinition::kWholeNumber:
      return "whole number";
    default:
      return "text";
  }
}

std::string Label(const RangeDefinition& range) {
  if (!range.Heading.empty()) return range.Heading;
  return range.description.empty() ? range.name : range.description;
}

std::string InlineCell(const CellAddress& at, std::string_view text, int style) {
  std::string cell = "<c r=\"" + at.ToString() + "\"" +
                     (style != kGeneral ? " s=\"" + std::to_string(style) + "\"" : "") +
                     " t=\"inlineStr\"><is><t";
  if (XmlText::NeedsPreserve(text)) cell += " xml:space=\"preserve\"";
  cell += ">";
  XmlText::AppendCellText(cell, text);
  return cell + "</t></is></c>";
}

}  // namespace

std::vector<RangeDefinition> WorkbookTemplate::Select(
    const std::vector<std::unique_ptr<RangeDefinition>>& catalogue,
    const std::vector<std::string>& picks) {
  std::set<const RangeDefinition*> chosen;
  for (const auto& pick : picks) {
    bool matched = false;
    for (const auto& range : catalogue) {
      if (RangeNames::Same(range->name, pick) ||
          (!range->GroupKey.empty() && RangeNames::Same(range->GroupKey, pick))) {
        chosen.insert(range.get());
        matched = true;
      }
    }
    if (!matched)
      throw AppError(vbObjectError + 6004, "", "'" + pick + "' is neither a range nor a group key");
  }
  std::vector<RangeDefinition> selected;
  for (const auto& range : catalogue) {
    if (picks.empty() || chosen.count(range.get()) != 0) selected.push_back(*range);
  }
  return selected;
}

std::string WorkbookTemplate::Listing(
    const std::vector<RangeGroup>& groups,
    const std::vector<std::unique_ptr<RangeDefinition>>& catalogue) {
  std::string text;
  auto line = [&](const RangeDefinition& range) {
    std::string entry = "  " + range.name;
    entry.resize(std::max<std::size_t>(entry.size() + 1, 22), ' ');
    entry += Label(range);
    entry.resize(std::max<std::size_t>(entry.size() + 1, 50), ' ');
    entry += TypeName(range.data_type);
    if (range.length > 0) entry += " " + std::to_string(range.length);
    if (range.layout == RangeDefinition::kHeaderCell) entry += " (header cell)";
    text += entry + "\n";
  };
  auto section = [&](const std::string& title, const std::string& key) {
    std::string body;
    std::swap(body, text);
    for (const auto& range : catalogue) {
      bool in_group =
          key.empty() ? std::none_of(groups.begin(), groups.end(),
                                     [&](const RangeGroup& g) {
                                       return !range->GroupKey.empty() && g.key == range->GroupKey;
                                     })
                      : range->GroupKey == key;
      if (in_group) line(*range);
    }
    std::swap(body, text);
    if (!body.empty()) text += title + "\n" + body;
  };
  section("(no group)", "");
  for (const auto& group : groups) section(group.caption + " [" + group.key + "]", group.key);
  return text;
}

void WorkbookTemplate::Create(const std::filesystem::path& path,
                              const std::vector<RangeDefinition>& ranges, const Options& options) {
  const std::string file = path.string();
  std::error_code error;
  if (!options.replace_existing && std::filesystem::exists(path, error)) {
    throw WorkbookError(file, "the file exists already; it is not replaced");
  }
  if (ranges.empty()) throw WorkbookError(file, "no ranges to lay out");
  const auto& sheet_name = options.sheet_name;
  if (sheet_name.empty() || sheet_name.size() > 31 ||
      sheet_name.find_first_of("[]:*?/\\") != std::string::npos || sheet_name.front() == '\'' ||
      sheet_name.back() == '\'') {
    throw WorkbookError(file, "'" + sheet_name + "' cannot name a sheet");
  }
  std::vector<const RangeDefinition*> headers, columns;
  std::set<std::string> seen;
  for (const auto& range : ranges) {
    std::string key = range.name;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (!seen.insert(key).second)
      throw WorkbookError(file, "range '" + range.name + "' is listed twice");
    (range.layout == RangeDefinition::kHeaderCell ? headers : columns).push_back(&range);
  }
  const auto heading_row = static_cast<std::uint32_t>(headers.empty() ? 1 : headers.size() + 2);
  if (options.rows < 1 ||
      heading_row + static_cast<std::uint32_t>(options.rows) > CellAddress::kMaxRow) {
    throw WorkbookError(file, "cannot lay out " + std::to_string(options.rows) + " data rows");
  }
  if (columns.size() > CellAddress::kMaxColumn) throw WorkbookError(file, "too many column ranges");
  const auto last_row = heading_row + static_cast<std::uint32_t>(options.rows);

  std::string names;
  std::string rows;
  for (std::uint32_t i = 0; i < headers.size(); ++i) {
    rows += "<row r=\"" + std::to_string(i + 1) + "\">" +
            InlineCell({i + 1, 1}, Label(*headers[i]), kHeading) + "</row>";
    AreaReference area{options.sheet_name, i + 1, 2, i + 1, 2};
    names += "<definedName name=\"" + Escaped(RangeNames::StoredNames(headers[i]->name).front()) +
             "\">" + Escaped(area.ToFormula()) + "</definedName>";
  }
  std::string cols;
  if (!columns.empty()) {
    rows += "<row r=\"" + std::to_string(heading_row) + "\">";
    cols = "<cols>";
    for (std::uint32_t i = 0; i < columns.size(); ++i) {
      const auto& range = *columns[i];
      std::uint32_t column = i + 1;
      rows += InlineCell({heading_row, column}, Label(range), kHeading);
      AreaReference area{options.sheet_name, heading_row + 1, column, last_row, column};
      names += "<definedName name=\"" + Escaped(RangeNames::StoredNames(range.name).front()) +
               "\">" + Escaped(area.ToFormula()) + "</definedName>";
      int style = range.data_type == RangeDefinition::kDate   ? kDateColumn
                  : range.data_type == RangeDefinition::kText ? kTextColumn
                                                              : kGeneral;
      auto width = std::clamp<std::size_t>(
          std::max<std::size_t>(range.length, Label(range).size()) + 2, 8, 50);
      cols += "<col min=\"" + std::to_string(column) + "\" max=\"" + std::to_string(column) +
              "\" width=\"" + std::to_string(width) + "\" customWidth=\"1\"" +
              (style != kGeneral ? " style=\"" + std::to_string(style) + "\"" : "") + "/>";
    }
    rows += "</row>";
    cols += "</cols>";
  }
  auto top_left = CellAddress{heading_row + 1, 1}.ToString();
  auto last_column = std::max<std::uint32_t>(
      columns.empty() ? 2 : static_cast<std::uint32_t>(columns.size()), headers.empty() ? 1 : 2);
  std::string sheet =
      std::string(kDeclaration) + "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelationships +
      "\"><dimension ref=\"A1:" + CellAddress{heading_row, last_column}.ToString() +
      "\"/><sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"><pane ySplit=\"" +
      std::to_string(heading_row) + "\" topLeftCell=\"" + top_left +
      "\" activePane=\"bottomLeft\" state=\"frozen\"/><selection pane=\"bottomLeft\" "
      "activeCell=\"" +
      top_left + "\" sqref=\"" + top_left + "\"/></sheetView></sheetViews>" +
      "<sheetFormatPr defaultRowHeight=\"15\"/>" + cols + "<sheetData>" + rows +
      "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
      "header=\"0.3\" footer=\"0.3\"/></worksheet>";
  std::string workbook =
      std::string(kDeclaration) + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelationships +
      "\"><workbookPr/><bookViews><workbookView "
      "activeTab=\"0\"/></bookViews><sheets><sheet name=\"" +
      Escaped(options.sheet_name) + "\" sheetId=\"1\" r:id=\"rId1\"/></sheets><definedNames>" +
      names + "</definedNames></workbook>";
  std::string styles =
      std::string(kDeclaration) + "<styleSheet xmlns=\"" + kMain +
      "\"><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\"/></numFmts>"
      "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
      "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
      "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
      "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
      "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
      "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
      "borderId=\"0\"/></cellStyleXfs>"
      "<cellXfs count=\"4\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
      "xfId=\"0\"/>"
      "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
      "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
      "applyNumberFormat=\"1\"/>"
      "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
      "applyNumberFormat=\"1\"/>"
      "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
      "builtinId=\"0\"/></cellStyles>"
      "</styleSheet>";
  bool owner = !options.owner_prog_id.empty();
  std::string content_types =
      std::string(kDeclaration) +
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\" "
      "ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
      "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/"
      ">"
      "<Override PartName=\"/xl/styles.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>" +
      (owner ? "<Override PartName=\"/docProps/custom.xml\" "
               "ContentType=\"application/"
               "vnd.openxmlformats-officedocument.custom-properties+xml\"/>"
             : "") +
      "</Types>";
  std::string root_rels =
      std::string(kDeclaration) +
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" "
      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
      "officeDocument\" Target=\"xl/workbook.xml\"/>" +
      (owner ? "<Relationship Id=\"rId2\" "
               "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
               "custom-properties\" Target=\"docProps/custom.xml\"/>"
             : "") +
      "</Relationships>";
  std::string workbook_rels =
      std::string(kDeclaration) +
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" "
      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
      "Target=\"worksheets/sheet1.xml\"/>"
      "<Relationship Id=\"rId2\" "
      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
      "Target=\"styles.xml\"/>"
      "</Relationships>";
  std::string custom =
      std::string(kDeclaration) +
      "<Properties "
      "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/custom-properties\" "
      "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
      "<property fmtid=\"{D5CDD505-2E9C-101B-9397-08002B2CF9AE}\" pid=\"2\" "
      "name=\"" +
      std::string(XlsxRangeList::kOwnerProperty) + "\"><vt:lpwstr>" +
      Escaped(options.owner_prog_id) + "</vt:lpwstr></property></Properties>";

  std::vector<std::pair<std::string, const std::string*>> parts{
      {"[Content_Types].xml", &content_types},
      {"_rels/.rels", &root_rels},
      {"xl/workbook.xml", &workbook},
      {"xl/_rels/workbook.xml.rels", &workbook_rels},
      {"xl/styles.xml", &styles},
      {"xl/worksheets/sheet1.xml", &sheet}};
  if (owner) parts.emplace_back("docProps/custom.xml", &custom);
  auto temporary = AtomicFile::TemporaryBeside(path);
  struct Cleanup {
    std::filesystem::path path;
    zip_t* archive = nullptr;
    ~Cleanup() {
      if (archive != nullptr) zip_discard(archive);
      std::error_code ignored;
      if (!path.empty()) std::filesystem::remove(path, ignored);
    }
  } cleanup{temporary};
  int code = 0;
  cleanup.archive = zip_open(temporary.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
  if (cleanup.archive == nullptr)
    throw WorkbookError(file, "cannot create a temporary file beside it");
  for (const auto& [name, content] : parts) {
    zip_source_t* source = zip_source_buffer(cleanup.archive, content->data(), content->size(), 0);
    if (source == nullptr ||
        zip_file_add(cleanup.archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
      if (source != nullptr) zip_source_free(source);
      throw WorkbookError(file, "cannot write " + name);
    }
  }
  if (zip_close(cleanup.archive) != 0) throw WorkbookError(file, "cannot write the new workbook");
  cleanup.archive = nullptr;
  AtomicFile::Commit(temporary, path);
  cleanup.path.clear();
}

}  // namespace orv
