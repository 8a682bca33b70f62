#include "web/WebSnippet.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

namespace flinder {
namespace {

using Copies = std::vector<const WebFile*>;

constexpr char32_t Replacement = 0xFFFD;

// The picture's files of one kind, smallest scale first.
Copies CopiesOf(const WebPicture& picture, WebFileKind kind) {
  Copies copies;
  for (const WebFile& file : picture.Files)
    if (file.Kind == kind) copies.push_back(&file);
  std::stable_sort(copies.begin(), copies.end(),
                   [](const WebFile* a, const WebFile* b) { return a->Scale < b->Scale; });
  return copies;
}

// The animations a current browser may choose, in the snippet's order: it
// takes the first whose type it knows, so the smaller goes first. An SVG or
// a WebP is served only where it (a 1x screen's copy) beats the GIF: a
// browser would otherwise download more than the GIF for the same picture.
std::vector<Copies> Animations(const WebPicture& picture) {
  std::vector<Copies> animations;
  const Copies gif = CopiesOf(picture, WebFileKind::Gif);
  for (WebFileKind kind : {WebFileKind::Svg, WebFileKind::Webp}) {
    const Copies copies = CopiesOf(picture, kind);
    if (!copies.empty() && (gif.empty() || copies.front()->Bytes < gif.front()->Bytes))
      animations.push_back(copies);
  }
  if (animations.size() == 2 && animations[1].front()->Bytes < animations[0].front()->Bytes)
    std::swap(animations[0], animations[1]);
  return animations;
}

// The code point that starts at text[at], moving `at` past it. A byte that
// starts no well-formed character, with the valid start of one it begins,
// gives U+FFFD (the second byte's range rules out overlong forms, surrogates
// and code points past U+10FFFF).
char32_t NextCodePoint(const std::string& text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at++);
  if (lead < 0x80) return lead;
  if (lead < 0xC2 || lead > 0xF4) return Replacement;
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  char32_t point = lead & (0x3F >> more);
  for (int i = 0; i < more; ++i, low = 0x80, high = 0xBF) {
    if (at >= text.size() || byte(at) < low || byte(at) > high) return Replacement;
    point = point << 6 | (byte(at++) & 0x3F);
  }
  return point;
}

void AppendEscaped(std::string& out, char c) {
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

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) AppendEscaped(out, c);
  return out;
}

// Alt text in ASCII alone, so it reads the same in a page of any encoding:
// other characters as references, controls as spaces, and the characters
// HTML forbids as references (noncharacters) as U+FFFD.
std::string AltAttribute(const std::string& alt) {
  std::string out;
  for (std::size_t at = 0; at < alt.size();) {
    char32_t c = NextCodePoint(alt, at);
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) c = ' ';
    if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE) c = Replacement;
    if (c < 0x80) {
      AppendEscaped(out, static_cast<char>(c));
    } else {
      char reference[16];
      std::snprintf(reference, sizeof reference, "&#x%04X;", static_cast<unsigned>(c));
      out += reference;
    }
  }
  return out;
}

// A file name as a URL path relative to the page. A name is one file's name
// in the page's folder, so "/" is encoded as well; a ":" would let a browser
// read what comes before it as a scheme, hence "./" in front.
std::string UrlPath(const std::string& name) {
  static constexpr std::string_view Kept = "-._~@!$'()*+;=:";
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string url;
  for (unsigned char c : name) {
    const bool alphanumeric =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    if (alphanumeric || Kept.find(static_cast<char>(c)) != std::string_view::npos) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += Hex[c >> 4];
      url += Hex[c & 15];
    }
  }
  if (url.find(':') != std::string::npos) url.insert(0, "./");
  return url;
}

// The copies as a srcset: a lone 1x copy needs no descriptor.
std::string SrcSet(const Copies& copies) {
  const bool descriptors = copies.size() > 1 || copies.front()->Scale != 1;
  std::string set;
  for (const WebFile* file : copies) {
    if (!set.empty()) set += ", ";
    set += UrlPath(file->Name);
    if (descriptors) set.append(" ").append(std::to_string(file->Scale)).append("x");
  }
  return set;
}

std::string Source(std::string_view condition, const Copies& copies) {
  return "  <source " + std::string(condition) + " srcset=\"" + Escaped(SrcSet(copies)) + "\">\n";
}

}  // namespace

std::string WebSnippet(const WebPicture& picture) {
  std::string html = "<picture>\n";
  const Copies stills = CopiesOf(picture, WebFileKind::Still);
  if (!stills.empty()) html += Source("media=\"(prefers-reduced-motion: reduce)\"", stills);
  for (const Copies& animation : Animations(picture))
    html += Source(animation.front()->Kind == WebFileKind::Svg ? R"(type="image/svg+xml")"
                                                               : R"(type="image/webp")",
                   animation);
  const Copies gifs = CopiesOf(picture, WebFileKind::Gif);
  html += "  <img";
  if (!gifs.empty()) html += " src=\"" + Escaped(UrlPath(gifs.front()->Name)) + "\"";
  html += " width=\"" + std::to_string(picture.Width) + "\" height=\"" +
          std::to_string(picture.Height) + "\" alt=\"" + AltAttribute(picture.Alt) +
          "\" decoding=\"async\">\n</picture>\n";
  return html;
}

DownloadTotals Downloads(const WebPicture& picture) {
  const Copies gifs = CopiesOf(picture, WebFileKind::Gif);
  const Copies stills = CopiesOf(picture, WebFileKind::Still);
  const std::vector<Copies> animations = Animations(picture);
  DownloadTotals totals;
  totals.Old = gifs.empty() ? 0 : gifs.front()->Bytes;
  totals.Modern = animations.empty() ? totals.Old : animations.front().front()->Bytes;
  // Without a still, a browser asking for less motion takes what any other does.
  totals.ReducedMotion = stills.empty() ? totals.Modern : stills.front()->Bytes;
  return totals;
}

}  // namespace flinder
