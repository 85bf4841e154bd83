#include "shell/outside/xlsx/XmlTokenizer.h"

#include "shell/outside/xlsx/WorkbookError.h"

namespace orv {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

XmlTokenizer::XmlTokenizer(ZipArchive::Reader& input, std::string label)
    : input_(input), label_(std::move(label)) {}

bool XmlTokenizer::Fill() {
  if (end_of_input_) return false;
  if (position_ > 0 && position_ * 2 >= buffer_.size()) {
    buffer_.erase(0, position_);
    position_ = 0;
  }
  char chunk[1 << 16];
  auto got = input_.Read(chunk, sizeof chunk);
  if (got == 0) {
    end_of_input_ = true;
    return false;
  }
  buffer_.append(chunk, got);
  return true;
}

// Position of `what` at or after `from` (relative to position_), reading more input as needed.
std::size_t XmlTokenizer::FindFrom(std::size_t from, std::string_view what) {
  for (;;) {
    auto found = buffer_.find(what, position_ + from);
    if (found != std::string::npos) return found - position_;
    from = buffer_.size() - position_ >= what.size() ? buffer_.size() - position_ - what.size() + 1
                                                     : 0;
    if (!Fill()) return std::string::npos;
  }
}

bool XmlTokenizer::Next() {
  if (position_ >= buffer_.size() && !Fill()) return false;
  local_name_ = prefix_ = {};
  if (buffer_[position_] != '<') {
    auto next = buffer_.find('<', position_);
    if (next == std::string::npos) next = buffer_.size();
    kind_ = kText;
    raw_ = std::string_view(buffer_).substr(position_, next - position_);
    position_ = next;
    return true;
  }
  // Markup: make sure the whole token is in the buffer.
  while (buffer_.size() - position_ < 9 && Fill()) {
  }
  std::string_view head = std::string_view(buffer_).substr(position_);
  std::size_t end;
  if (head.starts_with("<!--")) {
    end = FindFrom(4, "-->");
    if (end != std::string::npos) end += 3;
    kind_ = kOther;
  } else if (head.starts_with("<![CDATA[")) {
    end = FindFrom(9, "]]>");
    if (end != std::string::npos) end += 3;
    kind_ = kOther;
  } else if (head.starts_with("<?")) {
    end = FindFrom(2, "?>");
    if (end != std::string::npos) end += 2;
    kind_ = kOther;
  } else {
    // A tag ends at the first '>' outside quotes.
    std::size_t i = 1;
    char quote = 0;
    end = std::string::npos;
    for (;;) {
      if (position_ + i >= buffer_.size() && !Fill()) break;
      char c = buffer_[position_ + i];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        end = i + 1;
        break;
      }
      ++i;
    }
    kind_ = buffer_[position_ + 1] == '/' ? kEnd : buffer_[position_ + 1] == '!' ? kOther : kStart;
  }
  if (end == std::string::npos) throw WorkbookError(label_, "malformed XML (unterminated markup)");
  raw_ = std::string_view(buffer_).substr(position_, end);
  position_ += end;
  if (kind_ == kStart || kind_ == kEnd) {
    std::size_t name_start = kind_ == kEnd ? 2 : 1;
    std::size_t name_end = name_start;
    while (name_end < raw_.size() && !IsBlank(raw_[name_end]) && raw_[name_end] != '>' &&
           raw_[name_end] != '/') {
      ++name_end;
    }
    auto qualified = raw_.substr(name_start, name_end - name_start);
    auto colon = qualified.find(':');
    if (colon != std::string_view::npos) {
      prefix_ = qualified.substr(0, colon + 1);
      local_name_ = qualified.substr(colon + 1);
    } else {
      local_name_ = qualified;
    }
    if (kind_ == kStart && raw_.size() >= 2 && raw_[raw_.size() - 2] == '/') kind_ = kEmptyElement;
  }
  return true;
}

std::vector<XmlTokenizer::Attribute> XmlTokenizer::Attributes() const {
  std::vector<Attribute> attributes;
  std::size_t i = 1 + prefix_.size() + local_name_.size();
  while (i < raw_.size()) {
    while (i < raw_.size() && IsBlank(raw_[i])) ++i;
    if (i >= raw_.size() || raw_[i] == '/' || raw_[i] == '>') break;
    std::size_t name_start = i;
    while (i < raw_.size() && raw_[i] != '=' && !IsBlank(raw_[i])) ++i;
    auto name = raw_.substr(name_start, i - name_start);
    while (i < raw_.size() && (IsBlank(raw_[i]) || raw_[i] == '=')) ++i;
    if (i >= raw_.size()) break;
    char quote = raw_[i++];
    std::size_t value_start = i;
    while (i < raw_.size() && raw_[i] != quote) ++i;
    attributes.emplace_back(name, raw_.substr(value_start, i - value_start));
    ++i;
  }
  return attributes;
}

std::string_view XmlTokenizer::AttributeValue(std::string_view name) const {
  for (const auto& [key, value] : Attributes()) {
    if (key == name) return value;
  }
  return {};
}

std::string XmlTokenizer::BuildTag(std::string_view qualified_name,
                                   const std::vector<Attribute>& attributes, bool empty) {
  std::string tag = "<";
  tag += qualified_name;
  for (const auto& [name, value] : attributes) {
    tag += ' ';
    tag += name;
    char quote = value.find('"') == std::string_view::npos ? '"' : '\'';
    tag += '=';
    tag += quote;
    tag += value;
    tag += quote;
  }
  tag += empty ? "/>" : ">";
  return tag;
}

}  // namespace orv
