#pragma once

#include <cstdint>
#include <vector>

#include "render/Raster.h"

namespace flinder {

// A picture as indexes into a palette of at most 256 colours.
struct IndexedFrame {
  int Width = 0;
  int Height = 0;
  std::vector<ColourValue> Palette;
  std::vector<std::uint8_t> Indexes;
};

// Turns the frames of an animation, in order, into palette pictures. A frame
// of at most 256 colours keeps them exactly; a richer one is quantised at
// full colour depth without dithering. A pixel whose colour is the same as in
// the previous frame keeps the previous output colour, so a still background
// does not shimmer from frame to frame.
class FrameQuantiser {
 public:
  IndexedFrame Quantise(const Raster& frame);

 private:
  Raster PreviousSource;
  IndexedFrame PreviousOutput;
};

}  // namespace flinder
