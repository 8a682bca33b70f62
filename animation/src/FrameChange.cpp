#include "animation/FrameChange.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace flinder {
namespace {

bool SamePixel(const std::uint8_t* a, const std::uint8_t* b) {
  return (a[3] == 0 && b[3] == 0) || std::memcmp(a, b, 4) == 0;
}

}  // namespace

FrameChange WholeFrame(const RgbaRaster& frame) {
  return {0, 0, frame, false};
}

FrameChange ChangeBetween(const RgbaRaster& before, const RgbaRaster& now, int align) {
  if (before.Width != now.Width || before.Height != now.Height)
    throw std::invalid_argument("a frame of another size");
  int left = now.Width, top = now.Height, right = -1, bottom = -1;
  const std::size_t rowBytes = static_cast<std::size_t>(now.Width) * 4;
  for (int y = 0; y < now.Height; ++y) {
    const std::uint8_t *a = before.At(0, y), *b = now.At(0, y);
    if (std::memcmp(a, b, rowBytes) == 0) continue;
    int first = 0, last = now.Width - 1;
    while (first <= last && SamePixel(a + 4 * first, b + 4 * first)) ++first;
    if (first > last) continue;
    while (SamePixel(a + 4 * last, b + 4 * last)) --last;
    left = std::min(left, first);
    right = std::max(right, last);
    top = std::min(top, y);
    bottom = y;
  }
  if (right < 0) {  // the same picture
    FrameChange same{0, 0, RgbaRaster(1, 1), true};
    return same;
  }
  left -= left % align;
  top -= top % align;
  FrameChange change{left, top, RgbaRaster(right - left + 1, bottom - top + 1), true};
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      const std::uint8_t *was = before.At(x, y), *is = now.At(x, y);
      if (!SamePixel(was, is) && is[3] != 255 && was[3] != 0) change.Over = false;
    }
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      const std::uint8_t *was = before.At(x, y), *is = now.At(x, y);
      std::uint8_t* out = change.Pixels.At(x - left, y - top);
      if (change.Over && SamePixel(was, is))
        std::fill_n(out, 4, 0);
      else
        std::copy_n(is, 4, out);
    }
  return change;
}

}  // namespace flinder
