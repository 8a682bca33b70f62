#pragma once

#include <string>
#include <string_view>

namespace flinder {

// The design file keeps its text in the single-byte Windows-1252 code page;
// the program's strings are UTF-8. The five bytes the code page leaves
// undefined map to the control characters of the same number, so every byte
// survives a round trip.

// UTF-8 to Windows-1252; characters outside the code page and malformed
// UTF-8 become "?".
std::string ToCp1252(std::string_view utf8);

// Windows-1252 to UTF-8.
std::string FromCp1252(std::string_view bytes);

// True when `utf8` is well-formed and every character has a Windows-1252 byte.
bool FitsCp1252(std::string_view utf8);

// Letter case of the code page, the rules the design file's names follow:
// ASCII, Latin-1 and the pairs Š/š, Œ/œ, Ž/ž and Ÿ/ÿ. Letters without a
// partner in the page (ß, µ) stay as they are.
unsigned char LowerCp1252(unsigned char byte);
unsigned char UpperCp1252(unsigned char byte);

}  // namespace flinder
