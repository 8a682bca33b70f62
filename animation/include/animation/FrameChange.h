#pragma once

#include "render/RgbaRaster.h"

namespace flinder {

// The part of a frame that differs from the picture shown before it, as an
// animation stores it: a rectangle put in place with nothing disposed.
// "Over" it is laid over the picture before with its unchanged pixels clear,
// which packs smaller; that shows the frame only where every changed pixel is
// opaque or lands on a clear one, otherwise the rectangle replaces what lies
// under it. A frame equal to the one before is one clear pixel laid over.
struct FrameChange {
  int Left = 0, Top = 0;
  RgbaRaster Pixels;
  bool Over = false;
};

// `align`: the rectangle's corner lies on multiples of it (WebP wants even
// offsets). Every fully clear pixel counts as the same clear black.
FrameChange ChangeBetween(const RgbaRaster& before, const RgbaRaster& now, int align);

// The whole first frame, replacing the canvas.
FrameChange WholeFrame(const RgbaRaster& frame);

}  // namespace flinder
