#include "gif/ColourRuns.h"

#include <cstring>

namespace flinder {

namespace {

// Where the run that starts at `from` ends, two pixels compared at once.
const ColourValue* RunEnd(const ColourValue* from, const ColourValue* end) {
  const std::uint64_t pair = static_cast<std::uint32_t>(*from) * 0x100000001u;
  const ColourValue* at = from + 1;
  while (end - at >= 2) {
    std::uint64_t two;
    std::memcpy(&two, at, sizeof two);
    if (two != pair) break;
    at += 2;
  }
  while (at != end && *at == *from) ++at;
  return at;
}

}  // namespace

ColourRuns::ColourRuns(const Raster& picture) : Width(picture.Width), Height(picture.Height) {
  const ColourValue* pixel = picture.Pixels.data();
  const ColourValue* end = pixel + picture.Pixels.size();
  // Frames are kept for a while: counted first, the runs get just their room.
  std::size_t count = pixel != end;
  for (const ColourValue* at = pixel + 1; at < end; ++at) count += at[0] != at[-1];
  Runs.reserve(count);
  while (pixel != end) {
    const ColourValue* runEnd = RunEnd(pixel, end);
    Runs.push_back({*pixel, static_cast<std::uint32_t>(runEnd - pixel)});
    pixel = runEnd;
  }
}

}  // namespace flinder
