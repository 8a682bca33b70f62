#include "design/ColourValue.h"

#include <cmath>

namespace flinder {
namespace {

// Colour \ divisor mod 256 on the rounded value; out-of-range values keep
// only their low bytes, as the integer arithmetic of the dialogs does.
std::int16_t Byte(double colour, std::int64_t divisor) {
  if (!std::isfinite(colour) || std::fabs(colour) > 9e18) return 0;
  auto whole = static_cast<std::int64_t>(std::nearbyint(colour));
  return static_cast<std::int16_t>(((whole / divisor) % 256 + 256) % 256);
}

}  // namespace

std::int16_t GetRed(double colour) {
  return Byte(colour, 1);
}
std::int16_t GetGreen(double colour) {
  return Byte(colour, 256);
}
std::int16_t GetBlue(double colour) {
  return Byte(colour, 65536);
}

}  // namespace flinder
