#pragma once

#include <string>
#include <vector>

#include "render/RgbaRaster.h"

namespace flinder {

// What libwebp's own decoder shows of an animated WebP: the composed frames,
// their end times in milliseconds and the loop count; nothing shown when it
// refuses the file.
struct DecodedWebp {
  std::vector<RgbaRaster> Shown;
  std::vector<int> EndTimes;
  int Loops = -1;
};
DecodedWebp DecodeWebp(const std::string& bytes);

}  // namespace flinder
