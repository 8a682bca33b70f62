#include "design/Cp1252.h"

#include <array>
#include <optional>

namespace flinder {
namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the page equals Latin-1.
constexpr std::array<char32_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<unsigned char> ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (std::size_t i = 0; i < HighControls.size(); ++i)
    if (HighControls[i] == c) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

// Decodes one UTF-8 character at `at`, advancing `at`; nothing when malformed
// (then `at` moves past one byte).
std::optional<char32_t> NextCharacter(std::string_view text, std::size_t& at) {
  auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  int extra;
  char32_t c;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    c = lead & 0x07;
  } else {
    return std::nullopt;
  }
  std::size_t start = at;
  for (int i = 0; i < extra; ++i) {
    if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) {
      at = start;
      return std::nullopt;
    }
    c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are malformed.
  static constexpr char32_t Smallest[] = {0, 0x80, 0x800, 0x10000};
  if (c < Smallest[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
    at = start;
    return std::nullopt;
  }
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string ToCp1252(std::string_view utf8) {
  std::string bytes;
  bytes.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    auto c = NextCharacter(utf8, at);
    auto byte = c ? ByteOf(*c) : std::nullopt;
    bytes += byte ? static_cast<char>(*byte) : '?';
  }
  return bytes;
}

std::string FromCp1252(std::string_view bytes) {
  std::string utf8;
  utf8.reserve(bytes.size());
  for (char b : bytes) {
    auto byte = static_cast<unsigned char>(b);
    AppendUtf8(utf8, byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : byte);
  }
  return utf8;
}

bool FitsCp1252(std::string_view utf8) {
  for (std::size_t at = 0; at < utf8.size();) {
    auto c = NextCharacter(utf8, at);
    if (!c || !ByteOf(*c)) return false;
  }
  return true;
}

unsigned char LowerCp1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
      return static_cast<unsigned char>(c + 16);
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

unsigned char UpperCp1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
      return static_cast<unsigned char>(c - 16);
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

}  // namespace flinder
