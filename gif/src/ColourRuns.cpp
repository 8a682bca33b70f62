#include "gif/ColourRuns.h"

#include <cstring>

namespace flinder {

namespace {

// Sixteen pixels as four vectors of four; the compiler keeps them in
// vector registers on any machine that has them.
using FourPixels = std::uint32_t __attribute__((vector_size(16)));

FourPixels LoadFour(const ColourValue* at) {
  FourPixels four;
  std::memcpy(&four, at, sizeof four);
  return four;
}

// Where the run that starts at `from` ends. Runs are long in a drawn frame:
// sixteen pixels are compared at once, with one branch.
const ColourValue* RunEnd(const ColourValue* from, const ColourValue* end) {
  const auto colour = static_cast<std::uint32_t>(*from);
  const FourPixels same = {colour, colour, colour, colour};
  const ColourValue* at = from + 1;
  while (end - at >= 16) {
    const FourPixels differ = (LoadFour(at) ^ same) | (LoadFour(at + 4) ^ same) |
                              (LoadFour(at + 8) ^ same) | (LoadFour(at + 12) ^ same);
    std::uint64_t halves[2];
    std::memcpy(halves, &differ, sizeof halves);
    if ((halves[0] | halves[1]) != 0) break;
    at += 16;
  }
  while (at != end && *at == *from) ++at;
  return at;
}

}  // namespace

ColourRuns::ColourRuns(const Raster& picture) : Width(picture.Width), Height(picture.Height) {
  // The picture is read once, its runs gathered where this thread found the
  // last frame's; frames are kept for a while, so they get just their room.
  thread_local std::vector<ColourRun> found;
  found.clear();
  const ColourValue* pixel = picture.Pixels.data();
  const ColourValue* end = pixel + picture.Pixels.size();
  while (pixel != end) {
    const ColourValue* runEnd = RunEnd(pixel, end);
    found.push_back({*pixel, static_cast<std::uint32_t>(runEnd - pixel)});
    pixel = runEnd;
  }
  Runs.assign(found.begin(), found.end());
}

}  // namespace flinder
