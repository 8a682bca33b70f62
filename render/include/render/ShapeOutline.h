#pragma once

#include <array>

#include "design/ShapeSettings.h"
#include "render/DrawingSurface.h"

namespace flinder {

// The decimal literal of 2 pi divided by 360, not the full-precision value:
// every angle the shapes turn through is measured with this factor.
constexpr double DegToRadFactor = 6.28318530717958 / 360;
constexpr double DegToRad(double degrees) {
  return degrees * DegToRadFactor;
}

// A star always has an even number of vertices: odd side counts gain one.
int VertexCount(int sides, bool star);

// The turn in degrees that brings the outline back onto itself.
double SymmetryPeriod(int vertexCount, bool star);

struct RotationStep {
  double Angle;
  bool CycleComplete;  // the angle passed the period and went back to 0
};

// One frame's turn: 4 x Speed degrees from the angle rounded to single
// precision. Rounding at every step is what fixes the length of a cycle.
RotationStep NextRotation(double angle, float speed, double period);

// The ten ring scales, outermost first, made by repeated subtraction of 0.1.
const std::array<double, 10>& RingScales();

// The vertices of the rings of one frame's outline at a fixed angle. The
// direction of every vertex depends on the angle alone, so it is worked out
// once for all the rings and both passes of a frame.
class ShapeOutline {
 public:
  static constexpr int MaxVertices = 24;

  // `scale` multiplies the radius, for pictures drawn larger than the design.
  ShapeOutline(const ShapeSettings& settings, double angle, int scale = 1);

  int Count() const { return count_; }
  double X(int j) const { return x_[j - 1]; }  // j from 1 to Count()
  double Y(int j) const { return y_[j - 1]; }

  // Starts a drawing pass: star points alternate afresh.
  void BeginPass() { alternate_ = false; }
  // The vertices of the ring of scale t around (cx, cy).
  void ComputeRing(double t, double cx, double cy);
  // The ring's segments in vertex order, then the closing one from the first
  // vertex to the last, in the surface's pen.
  void DrawRing(DrawingSurface& surface) const;

 private:
  int count_;
  bool star_;
  double starDepth_;
  std::array<double, MaxVertices> sinRadius_{}, cosRadius_{};
  std::array<double, MaxVertices> x_{}, y_{};
  bool alternate_ = false;  // flips at every vertex, ring after ring
};

}  // namespace flinder
