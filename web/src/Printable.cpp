#include "web/Printable.h"

namespace flinder {

std::string Printable(const std::string& name) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : name) {
    if (c >= 0x20 && c != 0x7F) {
      text += static_cast<char>(c);
    } else {
      text += "\\x";
      text += Hex[c >> 4];
      text += Hex[c & 15];
    }
  }
  return text;
}

}  // namespace flinder
