#pragma once

#include <string>
#include <vector>

#include "animation/AnimationTiming.h"
#include "render/RgbaRaster.h"

namespace flinder {

// Writes an animated PNG. The first frame is the default image, whole; every
// later frame is the rectangle that changed since the frame before, drawn
// over it ("none" disposal): with unchanged pixels clear ("over" blending)
// where that shows the same, otherwise as it is ("source" blending). Finish
// picks the smallest pixel format that holds every frame exactly: palette
// indexes of 1 to 8 bits for at most 256 colours, else RGB, else RGBA.
// A single frame makes a plain PNG.
class ApngEncoder {
 public:
  ApngEncoder(int width, int height, AnimationTiming timing);

  // A frame of the encoder's size; what a reader shows after it is exactly
  // its pixels (with every fully clear pixel clear black).
  void AddFrame(const RgbaRaster& frame);

  // The whole file.
  std::string Finish();

 private:
  struct Frame {
    int Left = 0, Top = 0;
    RgbaRaster Source;            // the changed rectangle as drawn
    std::vector<bool> Unchanged;  // per pixel of Source, for "over" blending
    bool OverAllowed = false;
  };

  int Width, Height;
  AnimationTiming Timing;
  RgbaRaster Canvas;  // the last frame added
  std::vector<Frame> Frames;
};

}  // namespace flinder
