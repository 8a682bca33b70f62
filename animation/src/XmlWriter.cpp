#include "animation/XmlWriter.h"

#include <utility>

#include "render/Utf8.h"

namespace flinder {
namespace {

bool XmlCharacter(char32_t c) {
  return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char Lead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(Lead[extra] | (c >> (6 * extra)));
  for (int i = extra - 1; i >= 0; --i) out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

// In an attribute, white space other than blanks is written as a reference
// so that a reader's normalisation keeps it.
void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
  for (char32_t c : DecodeUtf8(text)) {
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
        out += attribute ? "&quot;" : "\"";
        break;
      case '\t':
        out += attribute ? "&#9;" : "\t";
        break;
      case '\n':
        out += attribute ? "&#10;" : "\n";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        AppendUtf8(out, XmlCharacter(c) ? c : 0xFFFD);
    }
  }
}

}  // namespace

void XmlWriter::CloseStartTag() {
  if (inStartTag_) out_ += '>';
  inStartTag_ = false;
}

XmlWriter& XmlWriter::Start(std::string_view name) {
  CloseStartTag();
  out_ += '<';
  out_ += name;
  open_.emplace_back(name);
  inStartTag_ = true;
  return *this;
}

XmlWriter& XmlWriter::Attribute(std::string_view name, std::string_view value) {
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  AppendEscaped(out_, value, true);
  out_ += '"';
  return *this;
}

XmlWriter& XmlWriter::Text(std::string_view text) {
  CloseStartTag();
  AppendEscaped(out_, text, false);
  return *this;
}

XmlWriter& XmlWriter::End() {
  if (open_.empty()) return *this;
  if (inStartTag_) {
    out_ += "/>";
    inStartTag_ = false;
  } else {
    out_ += "</" + open_.back() + '>';
  }
  open_.pop_back();
  return *this;
}

std::string XmlWriter::Finish() {
  while (!open_.empty()) End();
  return std::move(out_);
}

}  // namespace flinder
