#include "gif/ColourRuns.h"

namespace flinder {

ColourRuns::ColourRuns(const Raster& picture) : Width(picture.Width), Height(picture.Height) {
  const ColourValue* pixel = picture.Pixels.data();
  const ColourValue* end = pixel + picture.Pixels.size();
  while (pixel != end) {
    const ColourValue* runEnd = pixel + 1;
    while (runEnd != end && *runEnd == *pixel) ++runEnd;
    Runs.push_back({*pixel, static_cast<std::uint32_t>(runEnd - pixel)});
    pixel = runEnd;
  }
  // Frames are kept for a while: no room for runs that never come.
  Runs.shrink_to_fit();
}

}  // namespace flinder
