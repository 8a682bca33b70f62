#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "design/ColourValue.h"
#include "design/ShapeSettings.h"
#include "render/Raster.h"

namespace flinder {

class FontFace;

// A persistent in-memory picture with its drawing state. Coordinates are
// pixels, y downwards; a real coordinate falls on the nearest pixel, so pixel
// (i, j) is centred on (i, j). Whatever lies off the raster is dropped: a
// line whose ends lie far off still draws the part that crosses the raster,
// and a shape with an infinite or NaN coordinate draws nothing. Either way the
// current position moves.
// The state (colours, pen width, current position, font) lasts from one
// frame to the next until it is assigned again.
class DrawingSurface {
 public:
  explicit DrawingSurface(int width = 0, int height = 0);

  // A copy that shares nothing with this surface, not even the opened font,
  // so that another thread may draw on it.
  DrawingSurface OwnCopy() const {
    DrawingSurface copy = *this;
    copy.face_.reset();
    return copy;
  }

  int Width() const { return raster_.Width; }
  int Height() const { return raster_.Height; }
  // Keeps the overlapping part of the picture; new parts take BackColor.
  void Resize(int width, int height);

  // Every pixel becomes BackColor and the current position (0, 0).
  void Clear();

  ColourValue BackColor() const { return backColor_; }
  void SetBackColor(ColourValue colour);  // also fills the raster
  ColourValue ForeColor() const { return foreColor_; }
  void SetForeColor(ColourValue colour) { foreColor_ = colour; }
  int DrawWidth() const { return drawWidth_; }
  void SetDrawWidth(int width) { drawWidth_ = width < 1 ? 1 : width; }

  float CurrentX() const { return currentX_; }
  float CurrentY() const { return currentY_; }
  void SetCurrentPosition(float x, float y) {
    currentX_ = x;
    currentY_ = y;
  }

  const CaptionFont& Font() const { return font_; }
  void SetFont(const CaptionFont& font) { font_ = font; }

  // A segment DrawWidth pixels wide: width 1 is the usual one-pixel line
  // (end pixels included); wider pens cover every pixel whose centre lies
  // within DrawWidth / 2 of the segment, so joints and ends are round.
  void DrawLine(float x1, float y1, float x2, float y2) { DrawLine(x1, y1, x2, y2, foreColor_); }
  void DrawLine(float x1, float y1, float x2, float y2, ColourValue colour);
  // The axis-parallel box with these corners, both included.
  void FillBox(float x1, float y1, float x2, float y2, ColourValue colour);
  // A dot of diameter DrawWidth in ForeColor.
  void PlotPoint(float x, float y);
  // The pixel's colour value, or -1 off the raster.
  ColourValue ReadPoint(float x, float y) const;
  // Whether the point falls on a pixel of the raster (-1 is a colour too).
  bool OnRaster(float x, float y) const;
  // While on, text blended over background pixels keeps its coverage in
  // them (see BackgroundShowing) instead of mixing with the background's
  // colour: what a picture with real alpha needs. Off, as new.
  bool KeepsCoverage() const { return keepCoverage_; }
  void SetKeepCoverage(bool keep) { keepCoverage_ = keep; }
  // Blends the UTF-8 text in ForeColor over the picture, the top-left corner
  // of its line box at the current position; only glyph, underline and
  // strikethrough pixels change. Then the position moves to the start of the
  // next line: x 0, y one line height lower.
  void PrintText(std::string_view text);

  const Raster& Capture() const { return raster_; }
  // Hands the picture over in `picture` without copying it, and goes on
  // with the pixels `picture` held (of this size; new ones otherwise), which
  // only a drawing that repaints every pixel, as a frame does, may rely on.
  void SwapPicture(Raster& picture) {
    if (picture.Width != raster_.Width || picture.Height != raster_.Height)
      picture = Raster(raster_.Width, raster_.Height);
    std::swap(raster_, picture);
  }
  // Direct access for the text renderer; one row of Width pixels.
  ColourValue* Row(int y) { return &raster_.Pixels[static_cast<std::size_t>(y) * raster_.Width]; }

 private:
  void ThinLine(double x1, double y1, double x2, double y2, ColourValue colour);
  void WideLine(double x1, double y1, double x2, double y2, double radius, ColourValue colour);
  void FillSpan(int y, double left, double right, ColourValue colour);

  Raster raster_;
  ColourValue backColor_ = 0xFFFFFF;
  ColourValue foreColor_ = 0;
  int drawWidth_ = 1;
  bool keepCoverage_ = false;
  float currentX_ = 0, currentY_ = 0;
  CaptionFont font_;
  // Opened at the first print after a font change. Copies of a surface share
  // it until one of them prints in another font.
  std::shared_ptr<FontFace> face_;
};

}  // namespace flinder
