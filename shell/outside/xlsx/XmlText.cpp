#include "shell/outside/xlsx/XmlText.h"

#include <cstdio>

namespace orv {
namespace {

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// "_xHHHH_" at position i.
bool EscapeAt(std::string_view text, std::size_t i) {
  if (i + 7 > text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_')
    return false;
  for (std::size_t k = i + 2; k < i + 6; ++k) {
    if (!IsHex(text[k])) return false;
  }
  return true;
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The UTF-8 sequence at text[i] (not ASCII): its length when it is a well-formed character XML
// can hold, else 0 and in `skip` the length of its maximal ill-formed subpart (at least 1).
std::size_t Sequence(std::string_view text, std::size_t i, std::size_t& skip) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  }
  skip = 1;
  if (length == 0) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if (i + k >= text.size()) return 0;
    unsigned char next = byte(i + k);
    if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return 0;
    skip = k + 1;
  }
  // U+FFFE and U+FFFF are well-formed but no XML character.
  if (lead == 0xEF && byte(i + 1) == 0xBF && byte(i + 2) >= 0xBE) return 0;
  return length;
}

// Appends the non-ASCII sequence at text[i] or U+FFFD; returns the bytes consumed.
std::size_t AppendSequence(std::string& out, std::string_view text, std::size_t i) {
  std::size_t skip = 1;
  if (auto length = Sequence(text, i, skip)) {
    out.append(text.substr(i, length));
    return length;
  }
  out += kReplacement;
  return skip;
}

}  // namespace

bool XmlText::IsCellText(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    std::size_t skip = 1;
    auto length = Sequence(text, i, skip);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string XmlText::Repaired(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80)
      out += text[i++];
    else
      i += AppendSequence(out, text, i);
  }
  return out;
}

void XmlText::AppendEscaped(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      i += AppendSequence(out, text, i) - 1;
      continue;
    }
    if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      out += kReplacement;
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

void XmlText::AppendCellText(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      i += AppendSequence(out, text, i) - 1;
    } else if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      char code[8];
      std::snprintf(code, sizeof code, "_x%04X_", byte);
      out += code;
    } else if (c == '\r') {
      out += "&#13;";
    } else if (EscapeAt(text, i)) {
      out += "_x005F_";
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out += c;
    }
  }
}

std::string XmlText::DecodeCellText(std::string_view text) {
  if (text.find("_x") == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (EscapeAt(text, i)) {
      unsigned code =
          static_cast<unsigned>(std::stoul(std::string(text.substr(i + 2, 4)), nullptr, 16));
      AppendUtf8(out, code);
      i += 6;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool XmlText::NeedsPreserve(std::string_view text) {
  if (text.empty()) return false;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  return blank(text.front()) || blank(text.back());
}

}  // namespace orv
