#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "design/ColourValue.h"

namespace flinder {

// The top byte of a colour value is free. The renderer marks the background
// blend of a transparent design with it; an export leaves those pixels out,
// and any drawing over them takes the mark away. A surface that keeps coverage
// uses the byte for how much of the background still shows (255: all of it,
// the mark), and such a pixel's colour is its own, without the background.
constexpr ColourValue BackgroundMark = static_cast<ColourValue>(0xFF000000u);
constexpr bool IsBackground(ColourValue pixel) {
  return (pixel & BackgroundMark) == BackgroundMark;
}
constexpr int BackgroundShowing(ColourValue pixel) {
  return static_cast<int>(static_cast<std::uint32_t>(pixel) >> 24);
}

// A picture as colour values, row by row from the top-left pixel.
struct Raster {
  int Width = 0;
  int Height = 0;
  std::vector<ColourValue> Pixels;

  Raster() = default;
  Raster(int width, int height, ColourValue fill = 0)
      : Width(width), Height(height), Pixels(static_cast<std::size_t>(width) * height, fill) {}

  ColourValue& At(int x, int y) { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
  ColourValue At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }

  bool operator==(const Raster&) const = default;
};

}  // namespace flinder
