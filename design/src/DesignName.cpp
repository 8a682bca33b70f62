#include "design/DesignName.h"

#include <algorithm>

#include "design/Cp1252.h"

namespace flinder {
namespace {

std::string Folded(std::string_view utf8) {
  std::string bytes = ToCp1252(utf8);
  for (char& c : bytes) c = static_cast<char>(LowerCp1252(static_cast<unsigned char>(c)));
  return bytes;
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
  return !SameDesignName(name, "Shapes") && !SameDesignName(name, "Window") &&
         !SameDesignName(name, "Export");
}

const char* const DesignNameRules =
    "A shape name cannot begin with \"[\" or \";\", contain \"=\" or control characters, begin "
    "or end with a blank, be \"Shapes\", \"Window\" or \"Export\", or use characters outside the "
    "Windows-1252 code page.";

std::string CapitalisedName(std::string_view name) {
  std::string bytes = ToCp1252(name);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    bytes[i] = static_cast<char>(i == 0 ? UpperCp1252(c) : LowerCp1252(c));
  }
  return FromCp1252(bytes);
}

bool SameDesignName(std::string_view a, std::string_view b) {
  return Folded(a) == Folded(b);
}

int CompareDesignNames(std::string_view a, std::string_view b) {
  const std::string x = Folded(a), y = Folded(b);
  return x < y ? -1 : (y < x ? 1 : 0);
}

}  // namespace flinder
