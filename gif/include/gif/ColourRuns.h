#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/Raster.h"

namespace flinder {

// Pixels of one colour in a row, or over the end of a row into the next.
struct ColourRun {
  ColourValue Colour = 0;
  std::uint32_t Length = 0;
};

// A picture as runs of equal pixels, its rows read as one sequence. A drawn
// frame is mostly flat colour, so its runs take a small part of the memory
// of its pixels, and whatever is worked out per colour is worked out per run.
struct ColourRuns {
  int Width = 0;
  int Height = 0;
  std::vector<ColourRun> Runs;

  ColourRuns() = default;
  explicit ColourRuns(const Raster& picture);

  std::size_t Bytes() const { return Runs.capacity() * sizeof(ColourRun); }
};

}  // namespace flinder
