#include "DesignFrames.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace flinder {

namespace {

ColourValue Blend(ColourValue a, ColourValue b, double t) {
  auto mix = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return MakeColour(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)),
                    mix(BlueOf(a), BlueOf(b)));
}

}  // namespace

Raster DesignFrame(int step, int size) {
  Raster frame(size, size);
  const ColourValue top = MakeColour(0, 255, 30), bottom = MakeColour(255, 10, 220);
  const ColourValue outer = MakeColour(200, 0, 0), inner = MakeColour(255, 255, 120);
  double angle = step * 7 * 3.14159265358979 / 180, half = size * 0.3, centre = size / 2.0;
  for (int y = 0; y < size; ++y) {
    ColourValue background = Blend(top, bottom, y / (size - 1.0));
    for (int x = 0; x < size; ++x) {
      double dx = x + 0.5 - centre, dy = y + 0.5 - centre;
      double u = dx * std::cos(angle) + dy * std::sin(angle);
      double v = -dx * std::sin(angle) + dy * std::cos(angle);
      double distance = std::max(std::abs(u), std::abs(v));
      double coverage = std::clamp(half - distance + 0.5, 0.0, 1.0);
      int ring = std::min(9, static_cast<int>(distance / half * 10));
      ColourValue shape = Blend(outer, inner, (9 - ring) / 9.0);
      frame.At(x, y) = Blend(background, shape, coverage);
    }
  }
  // Caption-like noise in a corner that the shape never reaches.
  for (int y = 0; y < size / 20; ++y)
    for (int x = 0; x < size / 4; ++x)
      frame.At(x + 4, y + 4) = MakeColour((x * 37 + y * 11) % 256, (x * y) % 256, 128);
  return frame;
}

ColourError CompareRasters(const Raster& a, const Raster& b) {
  ColourError error;
  double sum = 0, squares = 0;
  for (std::size_t p = 0; p < a.Pixels.size(); ++p) {
    for (int shift : {0, 8, 16}) {
      int d = std::abs(((a.Pixels[p] >> shift) & 0xFF) - ((b.Pixels[p] >> shift) & 0xFF));
      error.Max = std::max(error.Max, d);
      sum += d;
      squares += d * d;
    }
  }
  double count = 3.0 * a.Pixels.size();
  error.Mean = sum / count;
  error.Psnr = squares == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / (squares / count));
  return error;
}

}  // namespace flinder
