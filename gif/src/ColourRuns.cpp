#include "gif/ColourRuns.h"

#include <cstring>

namespace flinder {

namespace {

// Where the run that starts at `from` ends. Runs are long in a drawn frame:
// eight pixels are compared at once, as four pairs, with one branch.
const ColourValue* RunEnd(const ColourValue* from, const ColourValue* end) {
  const std::uint64_t pair = static_cast<std::uint32_t>(*from) * 0x100000001u;
  const ColourValue* at = from + 1;
  auto differs = [pair](const ColourValue* two) {
    std::uint64_t pixels;
    std::memcpy(&pixels, two, sizeof pixels);
    return pixels ^ pair;
  };
  while (end - at >= 8 &&
         (differs(at) | differs(at + 2) | differs(at + 4) | differs(at + 6)) == 0)
    at += 8;
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
