#include "render/Utf8.h"

namespace flinder {

std::u32string DecodeUtf8(std::string_view text) {
  constexpr char32_t Replacement = 0xFFFD;
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t code = lead;
    char32_t least = 0;  // smaller values are overlong encodings
    if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, code = lead & 0x07, least = 0x10000;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, code = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, code = lead & 0x1F, least = 0x80;
    } else if (lead >= 0x80) {
      out.push_back(Replacement);
      ++i;
      continue;
    }
    int taken = 0;
    while (taken < extra && i + 1 + taken < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1 + taken]);
      if ((next & 0xC0) != 0x80) break;
      code = (code << 6) | (next & 0x3F);
      ++taken;
    }
    const bool valid =
        taken == extra && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    if (valid) {
      out.push_back(code);
      i += 1 + extra;
    } else {
      out.push_back(Replacement);
      ++i;
    }
  }
  return out;
}

}  // namespace flinder
