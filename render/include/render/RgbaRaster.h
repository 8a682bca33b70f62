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

// A frame as straight RGBA: every pixel opaque in its colour except where
// the background shows (BackgroundShowing), which is clear, or translucent in
// the pixel's own colour where a surface that kept coverage laid text over it.
RgbaRaster StraightRgba(const Raster& frame);

}  // namespace flinder
