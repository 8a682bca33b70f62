#include "render/ShapeOutline.h"

#include <algorithm>
#include <cmath>

namespace flinder {

int VertexCount(int sides, bool star) {
  return star && sides % 2 != 0 ? sides + 1 : sides;
}

double SymmetryPeriod(int vertexCount, bool star) {
  return (star ? 2.0 : 1.0) * 360 / vertexCount;
}

RotationStep NextRotation(double angle, float speed, double period) {
  double start = static_cast<float>(angle);
  double next = start - 4.0 * static_cast<double>(speed);
  if (next < -period || next > period) return {0, true};
  return {next, false};
}

const std::array<double, 10>& RingScales() {
  static const std::array<double, 10> scales = [] {
    std::array<double, 10> s{};
    int i = 0;
    for (double t = 1.0; t >= 0.1 && i < 10; t -= 0.1) s[i++] = t;
    return s;
  }();
  return scales;
}

ShapeOutline::ShapeOutline(const ShapeSettings& settings, double angle, int scale)
    : star_(settings.Star), starDepth_(settings.SliderVal(StarDepth)) {
  // With no design loaded Sides is 0: nothing to draw.
  int sides = std::clamp(static_cast<int>(settings.SliderVal(Sides)), 0, MaxVertices);
  count_ = std::min(VertexCount(sides, star_), MaxVertices);
  const double radius = static_cast<double>(settings.SliderVal(Radius)) * scale;
  const double turn = DegToRad(angle);
  for (int j = 1; j <= count_; ++j) {
    double theta = DegToRad((360.0 / count_) * j) + turn;
    // Sine and cosine are rounded to single precision before they scale.
    sinRadius_[j - 1] = static_cast<double>(static_cast<float>(std::sin(theta))) * radius;
    cosRadius_[j - 1] = static_cast<double>(static_cast<float>(std::cos(theta))) * radius;
  }
}

void ShapeOutline::ComputeRing(double t, double cx, double cy) {
  for (int j = 0; j < count_; ++j) {
    double factor = t;
    if (!alternate_) {
      if (star_) factor = t - starDepth_;  // a star's inner point
      alternate_ = true;
    } else {
      alternate_ = false;
    }
    x_[j] = cx + sinRadius_[j] * factor;
    y_[j] = cy + cosRadius_[j] * factor;
  }
}

void ShapeOutline::DrawRing(DrawingSurface& surface) const {
  if (count_ == 0) return;
  auto point = [this](int j) {
    return std::pair{static_cast<float>(x_[j]), static_cast<float>(y_[j])};
  };
  for (int j = 0; j + 1 < count_; ++j) {
    auto [xa, ya] = point(j);
    auto [xb, yb] = point(j + 1);
    surface.DrawLine(xa, ya, xb, yb);
  }
  auto [xFirst, yFirst] = point(0);
  auto [xLast, yLast] = point(count_ - 1);
  surface.DrawLine(xFirst, yFirst, xLast, yLast);
}

}  // namespace flinder
