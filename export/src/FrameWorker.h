#pragma once

#include <utility>

#include "export/AnimationExport.h"
#include "gif/ColourRuns.h"

namespace flinder {

// One worker's own surface and renderer: it draws on them alone, and tells
// no window of the cycles it completes.
struct AnimationExport::FrameWorker {
  FrameWorker(DrawingSurface surface, const FrameRenderer& renderer)
      : Surface(std::move(surface)), Renderer(renderer) {
    Renderer.SetObserver(nullptr);
  }

  DrawingSurface Surface;
  FrameRenderer Renderer;

  // Draws the frame of rotation `pose`; its picture is the surface's.
  const Raster& DrawAt(double pose, const ShapeSettings& settings) {
    Renderer.Angle = pose;
    Renderer.DrawFrame(Surface, settings);
    return Surface.Capture();
  }
  ColourRuns Draw(double pose, const ShapeSettings& settings) {
    return ColourRuns(DrawAt(pose, settings));
  }
};

}  // namespace flinder
