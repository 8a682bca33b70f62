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

// x1 y2 - y1 x2, the c of the line's equation x dy - y dx = c. The ends are
// single-precision values, so both products are exact and only the
// difference rounds.
double SkewProduct(double x1, double y1, double x2, double y2) {
  return x1 * y2 - y1 * x2;
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
  const double top = std::max(Nearest(std::min(y1, y2)), 0.0);
  const double bottom = std::min(Nearest(std::max(y1, y2)), Height() - 1.0);
  if (!(top <= bottom)) return;
  for (int y = static_cast<int>(top); y <= bottom; ++y)
    FillSpan(y, Nearest(std::min(x1, x2)), Nearest(std::max(x1, x2)), colour);
}

bool DrawingSurface::OnRaster(float x, float y) const {
  const double px = Nearest(x), py = Nearest(y);
  return px >= 0 && px < Width() && py >= 0 && py < Height();
}

ColourValue DrawingSurface::ReadPoint(float x, float y) const {
  if (!OnRaster(x, y)) return -1;
  return raster_.At(static_cast<int>(Nearest(x)), static_cast<int>(Nearest(y)));
}

void DrawingSurface::PrintText(std::string_view text) {
  if (!face_ || face_->Font() != font_) face_ = std::make_shared<FontFace>(font_);
  face_->Draw(raster_, text, currentX_, currentY_, foreColor_, keepCoverage_);
  SetCurrentPosition(0, currentY_ + face_->LineHeight());
}

void DrawingSurface::FillSpan(int y, double left, double right, ColourValue colour) {
  const double from = std::max(std::ceil(left), 0.0);
  const double to = std::min(std::floor(right), Width() - 1.0);
  if (!(from <= to)) return;
  std::fill(Row(y) + static_cast<int>(from), Row(y) + static_cast<int>(to) + 1, colour);
}

// Steps one pixel at a time along the major axis, over the steps that lie on
// the raster, and rounds the other coordinate. That coordinate comes from the
// line's equation b dx = a dy - c rather than from one end, so ends far off
// the raster cost no precision where the line crosses it.
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
  const double from = std::max(Nearest(x1), 0.0);
  const double to = std::min(Nearest(x2), majorSize - 1.0);
  if (!(from <= to)) return;
  if (xMajor && y1 == y2) {
    // A level line is one run of one row: the background of every frame.
    const double b = Nearest(y1);
    if (b >= 0 && b < minorSize)
      std::fill(Row(static_cast<int>(b)) + static_cast<int>(from),
                Row(static_cast<int>(b)) + static_cast<int>(to) + 1, colour);
    return;
  }
  const double dx = x2 - x1, dy = y2 - y1, c = SkewProduct(x1, y1, x2, y2);
  for (int a = static_cast<int>(from); a <= to; ++a) {
    const double b = Nearest(dy == 0 ? y1 : (a * dy - c) / dx);
    if (!(b >= 0 && b < minorSize)) continue;
    const int ib = static_cast<int>(b);
    if (xMajor)
      raster_.At(a, ib) = colour;
    else
      raster_.At(ib, a) = colour;
  }
}

// Scans the rows that the capsule (segment grown by the radius) touches; on
// each row the capsule is one interval: the hull of the two end discs and
// the band along the segment. The band is solved about the origin rather than
// about an end, for the same reason as in ThinLine.
void DrawingSurface::WideLine(double x1, double y1, double x2, double y2, double radius,
                              ColourValue colour) {
  const double top = std::max(std::ceil(std::min(y1, y2) - radius), 0.0);
  const double bottom = std::min(std::floor(std::max(y1, y2) + radius), Height() - 1.0);
  if (!(top <= bottom)) return;
  const double dx = x2 - x1, dy = y2 - y1;
  const double lengthSquared = dx * dx + dy * dy;
  const double reach = radius * std::sqrt(lengthSquared);
  const double c = SkewProduct(x1, y1, x2, y2);
  const double start = x1 * dx + y1 * dy, end = x2 * dx + y2 * dy;
  for (int y = static_cast<int>(top); y <= bottom; ++y) {
    Interval span = DiscSlice(x1, y1, radius, y);
    auto widen = [&span](Interval part) {
      if (part.Empty()) return;
      span = span.Empty() ? part : Interval{std::min(span.lo, part.lo), std::max(span.hi, part.hi)};
    };
    widen(DiscSlice(x2, y2, radius, y));
    if (lengthSquared > 0) {
      // Along the segment: start <= x dx + y dy <= end; across it:
      // |x dy - y dx - c| <= radius * length. Both are linear in x.
      Interval along = Solve(dx, start - y * dy, end - y * dy);
      Interval across = Solve(dy, c + y * dx - reach, c + y * dx + reach);
      widen(Intersect(along, across));
    }
    if (!span.Empty()) FillSpan(y, span.lo, span.hi, colour);
  }
}

}  // namespace flinder
