#pragma once

#include <string>

namespace flinder {

// The shortest decimal text (period, no exponent) that reads back as the
// value, with at most `maxDigits` significant digits.
std::string ShortestDecimal(double value, int maxDigits);

// Singles: at most 7 significant digits ("3", "-0.2", "0.2345679").
inline std::string SingleText(float value) {
  return ShortestDecimal(value, 7);
}

// Doubles: at most 15 significant digits.
inline std::string DoubleText(double value) {
  return ShortestDecimal(value, 15);
}

}  // namespace flinder
