#pragma once

#include <cstddef>
#include <vector>

#include "design/ColourValue.h"

namespace flinder {

// The top byte of a colour value is free. The renderer marks the background
// blend of a transparent design with it; an export leaves those pixels out,
// and any drawing over them takes the mark away.
constexpr ColourValue BackgroundMark = 0x01000000;
constexpr bool IsBackground(ColourValue pixel) {
  return (pixel & BackgroundMark) != 0;
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
