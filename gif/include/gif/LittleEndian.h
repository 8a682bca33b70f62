#pragma once

#include <string>

namespace flinder {

// Appends a 16-bit number as its low and then its high byte, as GIF and
// PCX headers store them.
inline void AppendWord(std::string& out, int value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

}  // namespace flinder
