#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/Raster.h"

namespace flinder {

// A picture with straight (not premultiplied) alpha: red, green, blue and
// alpha bytes a pixel, row by row from the top-left pixel.
struct RgbaRaster {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Bytes;

  RgbaRaster() = default;
  RgbaRaster(int width, int height)
      : Width(width), Height(height), Bytes(static_cast<std::size_t>(width) * height * 4) {}

  const std::uint8_t* At(int x, int y) const {
    return &Bytes[(static_cast<std::size_t>(y) * Width + x) * 4];
  }
  std::uint8_t* At(int x, int y) { return &Bytes[(static_cast<std::size_t>(y) * Width + x) * 4]; }

  bool operator==(const RgbaRaster&) const = default;
};

// Every pixel opaque in its drawn colour; background marks are dropped.
RgbaRaster OpaqueRgba(const Raster& frame);

// The one frame drawn twice, over a white and over a black background:
// where they differ the background showed through, and by how much gives the
// alpha. Composited over white (or black) the result is `onWhite`
// (`onBlack`) again, to rounding.
RgbaRaster StraightAlpha(const Raster& onWhite, const Raster& onBlack);

}  // namespace flinder
