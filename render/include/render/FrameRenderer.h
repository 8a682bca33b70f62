#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "design/ShapeSettings.h"
#include "render/DrawingSurface.h"

namespace flinder {

// Told the length of every rotation cycle that a frame completes (the frame
// counter label of the window).
class FrameObserver {
 public:
  virtual ~FrameObserver() = default;
  virtual void FrameCountChanged(const std::string& text) = 0;
};

// (1 - t) x b x 255 + a x t x 255 in double precision, rounded to the nearest
// integer with halves to even: b at t = 0, a at t = 1.
int BlendComponent(float a, float b, double t);

// The colour of the shape's ring of scale t (1 outermost): Outer blended towards Inner.
ColourValue RingColour(const ShapeSettings& settings, double t);

// How many frames an export of the design draws from angle 0 until a frame
// completes the cycle (that frame included), at most `limit`.
int FramesInCycle(const ShapeSettings& settings, int limit);

// The one renderer: every call draws the next frame of the design and turns
// the shape by one step. The rotation state lasts from frame to frame.
class FrameRenderer {
 public:
  explicit FrameRenderer(FrameObserver* observer = nullptr) : observer_(observer) {}

  void SetObserver(FrameObserver* observer) { observer_ = observer; }

  // Repaints the whole surface: background blend, caption behind, shape
  // shadow and shape, caption in front. Surface state the frame leaves (pen
  // width, colour, position) carries into the next one.
  void DrawFrame(DrawingSurface& surface, const ShapeSettings& settings);
  // Turns the shape by the step DrawFrame would take, without drawing: the
  // poses of a cycle can be worked out before its frames are drawn.
  void Turn(const ShapeSettings& settings) { Rotate(settings); }
  // The colour of each of `height` rows of the background blend as every
  // frame after the first paints it: the blend is drawn with the pen the
  // frame before leaves.
  std::vector<ColourValue> BackgroundRows(const ShapeSettings& settings, int height) const;
  // The width of the shape's pen: Detail, times Scale.
  int ShapePenWidth(const ShapeSettings& settings) const;

  // Every length of the design (radius, pens, shadow offsets, caption size)
  // is drawn Scale times larger, for a surface Scale times the design's size;
  // positions stay fractions of the surface.
  int Scale = 1;

  double Angle = 0;           // rotation in degrees
  std::int16_t FrameNo = 0;   // frames since the last completed cycle, that frame counted
  bool CycleRunning = false;  // cleared when a cycle completes; the export sets it

 private:
  void DrawBackground(DrawingSurface& surface, const ShapeSettings& settings) const;
  void DrawCaptionBehind(DrawingSurface& surface, const ShapeSettings& settings) const;
  double Rotate(const ShapeSettings& settings);
  void DrawShape(DrawingSurface& surface, const ShapeSettings& settings, double angle) const;
  void DrawCaptionInFront(DrawingSurface& surface, const ShapeSettings& settings) const;
  void PrintAt(DrawingSurface& surface, const ShapeSettings& settings, double x, double y,
               int slot) const;
  double Length(const ShapeSettings& settings, int parameter) const;

  FrameObserver* observer_;
};

}  // namespace flinder
