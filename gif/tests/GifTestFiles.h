#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "render/Raster.h"
#include "support/TestFolders.h"

namespace flinder {

inline std::string Bytes(std::initializer_list<int> values) {
  return {values.begin(), values.end()};
}
inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The number of entries in the file's global colour table; 0 without one.
inline int GlobalTableSize(const std::string& bytes) {
  if (bytes.size() < 11 || !(bytes[10] & 0x80)) return 0;
  return 2 << (bytes[10] & 7);
}

// The largest per-channel difference and the PSNR in decibels.
inline std::pair<int, double> CompareRasters(const Raster& a, const Raster& b) {
  int largest = 0;
  double squares = 0;
  for (std::size_t p = 0; p < a.Pixels.size(); ++p)
    for (int shift : {0, 8, 16}) {
      int d = std::abs(((a.Pixels[p] >> shift) & 0xFF) - ((b.Pixels[p] >> shift) & 0xFF));
      largest = std::max(largest, d);
      squares += d * d;
    }
  return {largest,
          squares == 0 ? 99 : 10 * std::log10(255.0 * 255 * 3 * a.Pixels.size() / squares)};
}

// How a GIF stores its pictures: the logical screen, and each image's delay
// in hundredths of a second. Nothing when giflib refuses the file.
struct GifLayout {
  int Width = 0, Height = 0;
  std::vector<int> Delays;
};
std::optional<GifLayout> LayoutOfGif(const std::string& bytes);

// A pixel a browser shows the page through.
constexpr ColourValue ClearPixel = -1;

// The pictures a browser shows, frame after frame, for `loops` plays: the
// screen starts clear, a transparent index leaves the pixel as it was, and
// after a frame "restore to background" clears its rectangle and "restore
// to previous" brings back what was there before it. Nothing when giflib
// refuses the file.
std::optional<std::vector<Raster>> ComposeGif(const std::string& bytes, int loops = 1);

}  // namespace flinder
