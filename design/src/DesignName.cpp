#include "design/DesignName.h"

#include <algorithm>

#include "design/Cp1252.h"

namespace flinder {
namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

bool IsValidDesignName(std::string_view name) {
  if (name.empty() || !FitsCp1252(name)) return false;
  // Bytes of 0x80 and above belong to other characters and never meet the
  // structural ASCII below; the C1 controls U+0080 to U+009F are C2 80..9F.
  for (std::size_t i = 0; i < name.size(); ++i) {
    auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == 0x7F || c == '=') return false;
    if (c == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) < 0xA0)
      return false;
  }
  if (name.front() == '[' || name.front() == ';' || IsBlank(name.front()) || IsBlank(name.back()))
    return false;
  return !SameLetters(name, "Shapes") && !SameLetters(name, "Window") &&
         !SameLetters(name, "Export");
}

}  // namespace flinder
