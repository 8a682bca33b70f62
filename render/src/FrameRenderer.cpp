#include "render/FrameRenderer.h"

#include <cmath>
#include <limits>

#include "render/ShapeOutline.h"

namespace flinder {
namespace {

ColourValue BlendColour(const ShapeSettings& settings, int slotA, int slotB, double t) {
  auto component = [&](int c) {
    return BlendComponent(settings.SliderPos(ColourIndex(slotA, c)),
                          settings.SliderPos(ColourIndex(slotB, c)), t);
  };
  return MakeColour(component(0), component(1), component(2));
}

// Moves the current position without changing a pixel: the one-pixel dot
// repaints the pixel under it in its own colour.
void PositionText(DrawingSurface& surface, float x, float y) {
  surface.SetDrawWidth(1);
  if (surface.OnRaster(x, y)) surface.SetForeColor(surface.ReadPoint(x, y));
  surface.PlotPoint(x, y);
}

}  // namespace

void FrameRenderer::PrintAt(DrawingSurface& surface, const ShapeSettings& settings, double x,
                            double y, int slot) const {
  PositionText(surface, static_cast<float>(x), static_cast<float>(y));
  surface.SetForeColor(settings.PlainColour(slot));
  surface.PrintText(settings.Text);
}

double FrameRenderer::Length(const ShapeSettings& settings, int parameter) const {
  return static_cast<double>(settings.SliderVal(parameter)) * Scale;
}

ColourValue RingColour(const ShapeSettings& settings, double t) {
  return BlendColour(settings, Outer, Inner, t);
}

int BlendComponent(float a, float b, double t) {
  return static_cast<int>(std::nearbyint((1 - t) * b * 255 + a * t * 255));
}

void FrameRenderer::DrawFrame(DrawingSurface& surface, const ShapeSettings& settings) {
  CaptionFont font = settings.Font;
  font.FontSize *= static_cast<float>(Scale);
  if (surface.Font() != font) surface.SetFont(font);
  DrawBackground(surface, settings);
  if (settings.ShowText && !settings.TextFront) DrawCaptionBehind(surface, settings);
  const double angle = Rotate(settings);
  DrawShape(surface, settings, angle);
  if (settings.ShowText && settings.TextFront) DrawCaptionInFront(surface, settings);
}

// The pen keeps the width the previous frame left, so a wide pen makes the
// rows take the colour of the last line that covers them; row 0 is never
// drawn and the line for the last i falls below the raster. A transparent
// design's blend is marked as background: it stays the matte that
// anti-aliased caption edges blend with.
void FrameRenderer::DrawBackground(DrawingSurface& surface, const ShapeSettings& settings) const {
  const ColourValue mark = settings.Transparent ? BackgroundMark : 0;
  // A new back colour clears the picture to it, as Clear would.
  surface.SetBackColor(settings.PositionColour(Back) | mark);
  surface.SetCurrentPosition(0, 0);
  const int rows = surface.Height();
  const auto width = static_cast<float>(surface.Width());
  for (int i = 1; i <= rows; ++i) {
    surface.SetForeColor(BlendColour(settings, Dither, Back, static_cast<double>(i) / rows) | mark);
    surface.DrawLine(0, static_cast<float>(i), width, static_cast<float>(i));
  }
}

int FrameRenderer::ShapePenWidth(const ShapeSettings& settings) const {
  return static_cast<int>(std::nearbyint(settings.SliderVal(Detail))) * Scale;
}

// A frame ends with the shape's last ring, or with a caption in front,
// whose positioning leaves the pen one pixel wide.
std::vector<ColourValue> FrameRenderer::BackgroundRows(const ShapeSettings& settings,
                                                       int height) const {
  DrawingSurface column(1, height);
  column.SetDrawWidth(settings.ShowText && settings.TextFront ? 1 : ShapePenWidth(settings));
  DrawBackground(column, settings);
  std::vector<ColourValue> rows(static_cast<std::size_t>(column.Height()));
  for (int y = 0; y < column.Height(); ++y)
    rows[static_cast<std::size_t>(y)] = column.Row(y)[0] & ~BackgroundMark;
  return rows;
}

// Behind the shape the caption moves up and left by half its shadow offset.
void FrameRenderer::DrawCaptionBehind(DrawingSurface& surface,
                                      const ShapeSettings& settings) const {
  const double offset = Length(settings, TextShadowOffset);
  const double tx = surface.Width() * settings.TextX - offset / 2;
  const double ty = surface.Height() * settings.TextY - offset / 2;
  if (settings.ViewTextShadow) PrintAt(surface, settings, tx + offset, ty + offset, TextShadow);
  PrintAt(surface, settings, tx, ty, Text);
}

int FramesInCycle(const ShapeSettings& settings, int limit) {
  const int vertices = VertexCount(static_cast<int>(settings.SliderVal(Sides)), settings.Star);
  const double period = SymmetryPeriod(vertices, settings.Star);
  double angle = 0;
  for (int frames = 1; frames < limit; ++frames) {
    const RotationStep step = NextRotation(angle, settings.SliderVal(Speed), period);
    if (step.CycleComplete) return frames;
    angle = step.Angle;
  }
  return limit;
}

double FrameRenderer::Rotate(const ShapeSettings& settings) {
  const int vertices = VertexCount(static_cast<int>(settings.SliderVal(Sides)), settings.Star);
  const RotationStep step =
      NextRotation(Angle, settings.SliderVal(Speed), SymmetryPeriod(vertices, settings.Star));
  if (step.CycleComplete) {
    CycleRunning = false;
    if (observer_) observer_->FrameCountChanged(std::to_string(FrameNo));
    FrameNo = 0;
  }
  // The 16-bit counter stops at its top while no cycle completes.
  if (FrameNo < std::numeric_limits<std::int16_t>::max()) ++FrameNo;
  Angle = step.Angle;
  return Angle;
}

// The shadow pass first, then the main pass over it; each pass draws the ten
// rings outermost first, so inner colours lie on top.
void FrameRenderer::DrawShape(DrawingSurface& surface, const ShapeSettings& settings,
                              double angle) const {
  ShapeOutline outline(settings, angle, Scale);
  const double shadow = Length(settings, ShapeShadowOffset);
  const int detail = ShapePenWidth(settings);
  const double x = surface.Width() * settings.PosX, y = surface.Height() * settings.PosY;
  for (int pass = settings.ViewShapeShadow ? 2 : 1; pass >= 1; --pass) {
    const double shift = pass == 2 ? shadow : settings.ViewShapeShadow ? -shadow : 0;
    outline.BeginPass();
    for (double t : RingScales()) {
      outline.ComputeRing(t, x + shift, y + shift);
      surface.SetDrawWidth(detail);
      surface.SetForeColor(pass == 2 ? settings.PlainColour(ShapeShadow)
                                     : RingColour(settings, t));
      outline.DrawRing(surface);
    }
  }
}

// In front the caption sits on its corner and is printed once more after its
// shadow, with or without one (a second print darkens its anti-aliased
// edges); the frame leaves the pen one pixel wide.
void FrameRenderer::DrawCaptionInFront(DrawingSurface& surface,
                                       const ShapeSettings& settings) const {
  const double offset = Length(settings, TextShadowOffset);
  const double tx = surface.Width() * settings.TextX;
  const double ty = surface.Height() * settings.TextY;
  PrintAt(surface, settings, tx, ty, Text);
  if (settings.ViewTextShadow) PrintAt(surface, settings, tx + offset, ty + offset, TextShadow);
  PrintAt(surface, settings, tx, ty, Text);
}

}  // namespace flinder
