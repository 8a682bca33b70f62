#include "render/RgbaRaster.h"

namespace flinder {

RgbaRaster StraightRgba(const Raster& frame) {
  RgbaRaster rgba(frame.Width, frame.Height);
  std::uint8_t* out = rgba.Bytes.data();
  for (ColourValue pixel : frame.Pixels) {
    const int alpha = 255 - BackgroundShowing(pixel);
    if (alpha == 0) pixel = 0;
    *out++ = static_cast<std::uint8_t>(RedOf(pixel));
    *out++ = static_cast<std::uint8_t>(GreenOf(pixel));
    *out++ = static_cast<std::uint8_t>(BlueOf(pixel));
    *out++ = static_cast<std::uint8_t>(alpha);
  }
  return rgba;
}

}  // namespace flinder
