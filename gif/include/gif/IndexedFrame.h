#pragma once

#include <cstdint>
#include <vector>

#include "design/ColourValue.h"

namespace flinder {

// A picture as indexes into a palette of at most 256 colours.
struct IndexedFrame {
  int Width = 0;
  int Height = 0;
  std::vector<ColourValue> Palette;
  std::vector<std::uint8_t> Indexes;
};

}  // namespace flinder
