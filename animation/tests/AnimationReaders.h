#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/RgbaRaster.h"

namespace flinder {

// One frame of an APNG as stored: its rectangle and operations.
struct ApngFrameControl {
  int Width = 0, Height = 0, Left = 0, Top = 0;
  int DelayNumerator = 0, DelayDenominator = 0;
  int Dispose = 0, Blend = 0;
};

// What a reader makes of an APNG: the pictures it shows, frame after frame,
// and how the file stores them. Nothing when a chunk or the data is damaged.
struct DecodedApng {
  int ColourType = 0, Plays = -1;
  std::vector<ApngFrameControl> Controls;
  std::vector<RgbaRaster> Shown;
};
std::optional<DecodedApng> DecodeApng(const std::string& bytes);

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
