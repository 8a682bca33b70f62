#pragma once

#include <string>
#include <vector>

#include "animation/AnimationTiming.h"
#include "design/ColourValue.h"
#include "design/ExportChoices.h"
#include "design/ShapeSettings.h"

namespace flinder {

// What an SVG picture of a design shows and how it turns.
struct SvgPicture {
  int Width = 0, Height = 0;  // in pixels, Scale times the design's
  int Scale = 1;
  std::string Title;  // none when empty
  // The rotation each frame of the other formats is drawn at, in order.
  std::vector<double> Poses;
  // The turn that brings the outline back onto itself, which a smooth motion
  // takes evenly over the cycle's time from the first pose.
  double CycleTurn = 0;
  AnimationTiming Timing;
  MotionChoice Motion = MotionChoice::Steps;
};

// The design as one SVG document that draws what a frame draws, in the same
// places and colours: the background blend as a gradient, the caption's
// glyphs as outlines, and the shape's rings as polygons that a style sheet
// turns through the frames' poses (or evenly, for a smooth motion) as often
// as the picture plays; a reader who asks for reduced motion sees the first
// frame. A picture of one frame has no style; its pose is fixed.
std::string SvgAnimation(const ShapeSettings& settings, const SvgPicture& picture);

// False when the design shows a caption whose font gives no outlines (a
// font of bitmaps alone), so that an SVG file would lack it.
bool SvgShowsCaption(const ShapeSettings& settings);

// A stop of the background gradient: a row and its colour.
struct BlendStop {
  int Row;
  ColourValue Colour;
};

// Stops, the first and last row among them, between which every row's
// colour lies within one level of the straight blend at the row's centre;
// each stop reaches as far down as it can.
std::vector<BlendStop> BlendStops(const std::vector<ColourValue>& rows);

}  // namespace flinder
