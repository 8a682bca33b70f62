#include "design/DecimalText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace flinder {
namespace {

// Scientific text "d.ddde±x" of `value` with `digits` significant digits.
std::string Scientific(double value, int digits) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                              digits - 1);
  return std::string(buffer, result.ptr);
}

bool ReadsBackAs(const std::string& text, double value, int maxDigits) {
  double parsed = 0;  // from_chars reads a period whatever the locale
  std::from_chars(text.data(), text.data() + text.size(), parsed);
  // Singles compare as singles: 0.2f is "0.2", not "0.200000003".
  if (maxDigits <= 7) return static_cast<float>(parsed) == static_cast<float>(value);
  return parsed == value;
}

// Rewrites scientific text as plain fixed-point text without trailing zeros.
std::string Fixed(std::string_view scientific) {
  bool negative = scientific.front() == '-';
  if (negative) scientific.remove_prefix(1);
  auto e = scientific.find('e');
  int exponent = std::atoi(std::string(scientific.substr(e + 1)).c_str());
  std::string digits;
  for (char c : scientific.substr(0, e))
    if (c != '.') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text;
  int pointAt = exponent + 1;  // digits before the decimal point
  if (pointAt <= 0) {
    text = "0." + std::string(-pointAt, '0') + digits;
  } else if (pointAt >= static_cast<int>(digits.size())) {
    text = digits + std::string(pointAt - digits.size(), '0');
  } else {
    text = digits.substr(0, pointAt) + "." + digits.substr(pointAt);
  }
  return negative && text != "0" ? "-" + text : text;
}

}  // namespace

std::string ShortestDecimal(double value, int maxDigits) {
  if (!std::isfinite(value)) return "0";
  if (value == 0) return "0";
  for (int digits = 1; digits < maxDigits; ++digits) {
    std::string text = Scientific(value, digits);
    if (ReadsBackAs(text, value, maxDigits)) return Fixed(text);
  }
  return Fixed(Scientific(value, maxDigits));
}

}  // namespace flinder
