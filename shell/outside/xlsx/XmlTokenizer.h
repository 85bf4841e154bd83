#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/outside/xlsx/ZipArchive.h"

namespace orv {

// Splits an XML stream into text runs and markup without interpreting it, so that whatever is
// copied comes out byte for byte. Used to merge changed cells into a sheet that has already been
// read (and so checked) by the XML reader.
class XmlTokenizer {
 public:
  enum Kind { kText, kStart, kEnd, kEmptyElement, kOther };
  using Attribute = std::pair<std::string_view, std::string_view>;

  XmlTokenizer(ZipArchive::Reader& input, std::string label);

  // False at the end of the input. The views below stay valid until the next call.
  bool Next();
  Kind TokenKind() const { return kind_; }
  std::string_view Raw() const { return raw_; }
  // The element's name without its namespace prefix, and the prefix with its colon ("x:").
  std::string_view LocalName() const { return local_name_; }
  std::string_view Prefix() const { return prefix_; }
  // The attributes of a start or empty-element tag, values as they stand (still escaped).
  std::vector<Attribute> Attributes() const;
  std::string_view AttributeValue(std::string_view name) const;

  // A tag built from a name and attributes.
  static std::string BuildTag(std::string_view qualified_name,
                              const std::vector<Attribute>& attributes, bool empty);

 private:
  bool Fill();
  std::size_t FindFrom(std::size_t from, std::string_view what);
  ZipArchive::Reader& input_;
  std::string label_;
  std::string buffer_;
  std::size_t position_ = 0;
  bool end_of_input_ = false;
  Kind kind_ = kText;
  std::string_view raw_, local_name_, prefix_;
};

}  // namespace orv
