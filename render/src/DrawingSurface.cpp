#include "render/DrawingSurface.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/FontFace.h"

namespace flinder {
namespace {

// The pixel a coordinate falls on, kept in double so that coordinates far
// off the raster cannot overflow an int before they are clipped.
double Nearest(double v) {
  return std::floor(v + 0.5);
}

bool Finite(double a, double b, double c, double d) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// The interval of x where lo <= c * x <= hi; empty when lo > hi afterwards.
struct Interval {
  double lo, hi;
  bool Empty() const { return !(lo <= hi); }
};

Interval Solve(double c, double lo, double hi) {
  if (c == 0) return lo <= 0 && 0 <= hi ? Interval{-INFINITY, INFINITY} : Interval{1, 0};
  double a = lo / c, b = hi / c;
  return a <= b ? Interval{a, b} : Interval{b, a};
}

Interval Intersect(Interval a, Interval b) {
  return {std::max(a.lo, b.lo), std::min(a.hi, b.hi)};
}

// The x extent on row y of the disc of radius r around (cx, cy).
Interval DiscSlice(double cx, double cy, double r, double y) {
  double dy = y - cy, rest = r * r - dy * dy;
  if (rest < 0) return {1, 0};
  double s = std::sqrt(rest);
  return {cx - s, cx + s};
}

}  // namespace

DrawingSurface::DrawingSurface(int width, int height) {
  Resize(width, height);
}

void DrawingSurface::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == raster_.Width && height == raster_.Height) return;
  Raster resized(width, height, backColor_);
  int w = std::min(width, raster_.Width), h = std::min(height, raster_.Height);
  for (int y = 0; y < h; ++y)
    std::copy_n(&raster_.Pixels[static_cast<std::size_t>(y) * raster_.Width], w, &resized.At(0, y));
  raster_ = std::move(resized);
}

void DrawingSurface::Clear() {
  std::fill(raster_.Pixels.begin(), raster_.Pixels.end(), backColor_);
  SetCurrentPosition(0, 0);
}

void DrawingSurface::SetBackColor(ColourValue colour) {
  backColor_ = colour;
  std::fill(raster_.Pixels.begin(), raster_.Pixels.end(), backColor_);
}

void DrawingSurface::DrawLine(float x1, float y1, float x2, float y2, ColourValue colour) {
  SetCurrentPosition(x2, y2);
  if (!Finite(x1, y1, x2, y2)) return;
  if (drawWidth_ <= 1)
    ThinLine(x1, y1, x2, y2, colour);
  else
    WideLine(x1, y1, x2, y2, drawWidth_ / 2.0, colour);
}

void DrawingSurface::PlotPoint(float x, float y) {
  SetCurrentPosition(x, y);
  if (!Finite(x, y, 0, 0)) return;
  if (drawWidth_ <= 1)
    ThinLine(x, y, x, y, foreColor_);
  else
    WideLine(x, y, x, y, drawWidth_ / 2.0, foreColor_);
}

void DrawingSurface::FillBox(float x1, float y1, float x2, float y2, ColourValue colour) {
  SetCurrentPosition(x2, y2);
  if (!Finite(x1, y1, x2, y2)) return;
  double top = std::max(Nearest(std::min(y1, y2)), 0.0);
  double bottom = std::min(Nearest(std::max(y1, y2)), Height() - 1.0);
  for (int y = static_cast<int>(top); y <= bottom; ++y)
    FillSpan(y, Nearest(std::min(x1, x2)), Nearest(std::max(x1, x2)), colour);
}

ColourValue DrawingSurface::ReadPoint(float x, float y) const {
  double px = Nearest(x), py = Nearest(y);
  if (!(px >= 0 && px < Width() && py >= 0 && py < Height())) return -1;
  return raster_.At(static_cast<int>(px), static_cast<int>(py));
}

void DrawingSurface::PrintText(std::string_view text) {
  if (!face_ || face_->Font() != font_) face_ = std::make_shared<FontFace>(font_);
  face_->Draw(raster_, text, currentX_, currentY_, foreColor_);
  SetCurrentPosition(0, currentY_ + face_->LineHeight());
}

void DrawingSurface::FillSpan(int y, double left, double right, ColourValue colour) {
  double from = std::max(std::ceil(left), 0.0);
  double to = std::min(std::floor(right), Width() - 1.0);
  if (from > to) return;
  std::fill(Row(y) + static_cast<int>(from), Row(y) + static_cast<int>(to) + 1, colour);
}

// Steps one pixel at a time along the major axis and rounds the other
// coordinate, visiting only the steps that lie on the raster.
void DrawingSurface::ThinLine(double x1, double y1, double x2, double y2, ColourValue colour) {
  const bool xMajor = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
  if (!xMajor) {
    std::swap(x1, y1);
    std::swap(x2, y2);
  }
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  const int majorSize = xMajor ? Width() : Height();
  const int minorSize = xMajor ? Height() : Width();
  const double slope = x2 == x1 ? 0 : (y2 - y1) / (x2 - x1);
  const double from = std::max(Nearest(x1), 0.0);
  const double to = std::min(Nearest(x2), majorSize - 1.0);
  if (xMajor && y1 == y2) {
    // A level line is one run of one row: the background of every frame.
    const double b = Nearest(y1);
    if (b >= 0 && b < minorSize && from <= to)
      std::fill(Row(static_cast<int>(b)) + static_cast<int>(from),
                Row(static_cast<int>(b)) + static_cast<int>(to) + 1, colour);
    return;
  }
  for (int a = static_cast<int>(from); a <= to; ++a) {
    double b = x2 == x1 ? Nearest(y1) : Nearest(y1 + (a - x1) * slope);
    if (b < 0 || b >= minorSize) continue;
    int ib = static_cast<int>(b);
    if (xMajor)
      raster_.At(a, ib) = colour;
    else
      raster_.At(ib, a) = colour;
  }
}

// Scans the rows that the capsule (segment grown by the radius) touches; on
// each row the capsule is one interval: the hull of the two end discs and
// the band along the segment.
void DrawingSurface::WideLine(double x1, double y1, double x2, double y2, double radius,
                              ColourValue colour) {
  const double dx = x2 - x1, dy = y2 - y1;
  const double lengthSquared = dx * dx + dy * dy;
  const double length = std::sqrt(lengthSquared);
  const double top = std::max(std::ceil(std::min(y1, y2) - radius), 0.0);
  const double bottom = std::min(std::floor(std::max(y1, y2) + radius), Height() - 1.0);
  for (int y = static_cast<int>(top); y <= bottom; ++y) {
    Interval span = DiscSlice(x1, y1, radius, y);
    auto widen = [&span](Interval part) {
      if (part.Empty()) return;
      span = span.Empty() ? part : Interval{std::min(span.lo, part.lo), std::max(span.hi, part.hi)};
    };
    widen(DiscSlice(x2, y2, radius, y));
    if (lengthSquared > 0) {
      // Along the segment: 0 <= projection <= length^2 and |offset| <= radius * length,
      // both linear in (x - x1).
      double ry = y - y1;
      Interval along = Solve(dx, -ry * dy, lengthSquared - ry * dy);
      Interval across = Solve(dy, ry * dx - radius * length, ry * dx + radius * length);
      Interval band = Intersect(along, across);
      if (!band.Empty()) widen({x1 + band.lo, x1 + band.hi});
    }
    if (!span.Empty()) FillSpan(y, span.lo, span.hi, colour);
  }
}

}  // namespace flinder
