#pragma once

#include <utility>

#include "export/AnimatedGifExport.h"

namespace flinder {

// One worker's own surface and renderer: it draws on them alone, and tells
// no window of the cycles it completes.
struct AnimatedGifExport::FrameWorker {
  FrameWorker(DrawingSurface surface, const FrameRenderer& renderer)
      : Surface(std::move(surface)), Renderer(renderer) {
    Renderer.SetObserver(nullptr);
  }

  DrawingSurface Surface;
  FrameRenderer Renderer;
  IndexedFrame Mapped;  // the last frame mapped, whose memory the next one uses

  ColourRuns Draw(double pose, const ShapeSettings& settings) {
    Renderer.Angle = pose;
    Renderer.DrawFrame(Surface, settings);
    return ColourRuns(Surface.Capture());
  }
};

}  // namespace flinder
