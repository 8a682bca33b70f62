#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "design/ColourValue.h"

namespace flinder {

// One colour of a picture and how many pixels have it.
struct ColourCount {
  ColourValue Colour = 0;
  std::uint32_t Count = 0;
};

// At most `maxColours` colours that stand in for the histogram's with a small
// squared error summed over all pixels, for mapping to the nearest one
// without dithering. Throws std::bad_alloc when the quantiser has no memory.
std::vector<ColourValue> QuantiseColours(const std::vector<ColourCount>& histogram, int maxColours);

// Finds the palette colour nearest to a colour (least squared RGB distance).
// The entries are kept in order of the channel that varies most, so a
// search stops once that channel alone is farther off than the best match.
class NearestColourSearch {
 public:
  // The palette is not empty.
  explicit NearestColourSearch(const std::vector<ColourValue>& palette);
  std::size_t Nearest(ColourValue colour) const;

 private:
  struct Entry {
    int Key;  // the value of the sorting channel
    ColourValue Colour;
    std::size_t Index;
  };
  int shift_ = 0;
  std::vector<Entry> entries_;
  // Per channel value, the first entry whose key is not below it.
  std::array<std::size_t, 257> firstAtLeast_{};
};

}  // namespace flinder
