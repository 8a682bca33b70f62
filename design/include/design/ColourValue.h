#pragma once

#include <cstdint>

namespace flinder {

// A colour as red + 256 * green + 65536 * blue, each component 0 to 255.
using ColourValue = std::int32_t;

constexpr ColourValue MakeColour(int red, int green, int blue) {
  return red + 256 * green + 65536 * blue;
}
constexpr int RedOf(ColourValue colour) {
  return colour & 0xFF;
}
constexpr int GreenOf(ColourValue colour) {
  return (colour >> 8) & 0xFF;
}
constexpr int BlueOf(ColourValue colour) {
  return (colour >> 16) & 0xFF;
}

// The bytes of a colour value held as a real number (as dialogs return it),
// rounded to the nearest integer first.
std::int16_t GetRed(double colour);
std::int16_t GetGreen(double colour);
std::int16_t GetBlue(double colour);

}  // namespace flinder
