#include "render/RgbaRaster.h"

#include <algorithm>

namespace flinder {

RgbaRaster OpaqueRgba(const Raster& frame) {
  RgbaRaster rgba(frame.Width, frame.Height);
  std::uint8_t* out = rgba.Bytes.data();
  for (ColourValue pixel : frame.Pixels) {
    *out++ = static_cast<std::uint8_t>(RedOf(pixel));
    *out++ = static_cast<std::uint8_t>(GreenOf(pixel));
    *out++ = static_cast<std::uint8_t>(BlueOf(pixel));
    *out++ = 255;
  }
  return rgba;
}

// Over white a pixel of colour c and alpha a shows a c + (1 - a) 255, over
// black a c: the difference is (1 - a) 255 in every channel, and the black
// one divided by a is the colour.
RgbaRaster StraightAlpha(const Raster& onWhite, const Raster& onBlack) {
  RgbaRaster rgba(onWhite.Width, onWhite.Height);
  std::uint8_t* out = rgba.Bytes.data();
  for (std::size_t p = 0; p < onWhite.Pixels.size(); ++p) {
    const ColourValue white = onWhite.Pixels[p], black = onBlack.Pixels[p];
    const int parts[3][2] = {{RedOf(white), RedOf(black)},
                             {GreenOf(white), GreenOf(black)},
                             {BlueOf(white), BlueOf(black)}};
    int showing = 0;  // the background's share, summed over the channels
    for (const auto& part : parts) showing += std::max(part[0] - part[1], 0);
    const int alpha = 255 - (showing + 1) / 3;
    for (const auto& part : parts)
      *out++ = alpha == 0
                   ? 0
                   : static_cast<std::uint8_t>(std::min(255, (part[1] * 255 + alpha / 2) / alpha));
    *out++ = static_cast<std::uint8_t>(alpha);
  }
  return rgba;
}

}  // namespace flinder
