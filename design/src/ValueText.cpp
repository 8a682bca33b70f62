#include "design/ValueText.h"

#include <charconv>
#include <cmath>

#include "design/DecimalText.h"

namespace flinder {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Moves `at` past a run of digits and tells whether there was one.
bool SkipDigits(std::string_view text, std::size_t& at) {
  std::size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at > start;
}

}  // namespace

double ParseNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  std::size_t start = at;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  bool digits = SkipDigits(text, at);
  if (at < text.size() && text[at] == '.') {
    std::size_t point = at++;
    bool fraction = SkipDigits(text, at);
    if (!fraction && !digits) at = point;
    digits = digits || fraction;
  }
  if (!digits) return 0;
  if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
    std::size_t mark = at++;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (!SkipDigits(text, at)) at = mark;
  }
  // from_chars reads a period whatever the locale; it takes no plus sign.
  if (text[start] == '+') ++start;
  double value = 0;
  auto result = std::from_chars(text.data() + start, text.data() + at, value);
  return result.ec == std::errc() && std::isfinite(value) ? value : 0;
}

bool IsTrue(std::string_view text) {
  return text == "True" || text == "-1";
}

std::string ExactSingleText(float value) {
  if (!std::isfinite(value) || value == 0) return "0";
  char buffer[128];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string FontSizeText(float points) {
  return ShortestDecimal(std::round(static_cast<double>(points) * 10000) / 10000, 7);
}

}  // namespace flinder
