#pragma once

#include <string>
#include <string_view>

namespace flinder {

// How the design file spells numbers and Booleans.

// The lenient number reading: leading blanks are skipped and the longest
// leading decimal number (sign, digits, period and digits, E and a signed
// integer) is taken; anything else, and a number too large for a double,
// reads as 0.
double ParseNumber(std::string_view text);

// True exactly for "True" and "-1" (with case): "true", "1" and "" are false.
bool IsTrue(std::string_view text);

// A single as the shortest period-decimal text that reads back as exactly
// that single (up to 9 significant digits): seven digits would turn a colour
// of 85, stored as 85 / 255, into 84 on its way through the file.
std::string ExactSingleText(float value);

inline std::string BooleanText(bool value) {
  return value ? "True" : "False";
}

// A font size in points with at most four decimals ("11.25").
std::string FontSizeText(float points);

}  // namespace flinder
