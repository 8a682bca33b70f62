#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/ShapeOutline.h"

namespace flinder {
namespace {

// Angles from 0 until the frame that completes the cycle, that one included.
std::vector<double> Cycle(int sides, bool star, float speed) {
  double period = SymmetryPeriod(VertexCount(sides, star), star), angle = 0;
  std::vector<double> angles;
  for (int frame = 0; frame < 1000; ++frame) {
    RotationStep step = NextRotation(angle, speed, period);
    angles.push_back(angle = step.Angle);
    if (step.CycleComplete) break;
  }
  return angles;
}

TEST(Rotation, CycleLengthsFollowSinglePrecisionSteps) {
  EXPECT_EQ(Cycle(5, false, 1.0f).size(), 19u);
  EXPECT_EQ(Cycle(5, false, 0.3f).size(), 60u);  // not the 61 of exact 1.2-degree steps
  EXPECT_EQ(Cycle(5, false, 0.2f).size(), 91u);
  EXPECT_EQ(Cycle(3, false, 5.0f).size(), 7u);
  EXPECT_EQ(Cycle(5, true, 0.5f).size(), 61u);     // a 5-sided star has 6 points
  EXPECT_EQ(Cycle(5, false, 0.0f).size(), 1000u);  // Speed 0 never completes
  // The period itself is still inside the cycle; the step past it completes.
  const auto shrinking = Cycle(5, false, 1.0f), growing = Cycle(5, false, -1.0f);
  EXPECT_EQ(std::pair(shrinking[17], growing[17]), std::pair(-72.0, 72.0));
  EXPECT_EQ(growing.size(), 19u);  // completes where 76 would be reached
  EXPECT_EQ(growing.back(), 0);
}

TEST(Outline, VerticesRunFromBelowTheCentreAndStarsAlternateInnerPoints) {
  // The ring scales come from repeated subtraction of 0.1.
  EXPECT_EQ(RingScales()[3], 0.7000000000000001);
  EXPECT_EQ(RingScales()[9], 0.10000000000000014);
  ShapeSettings s;
  s.SetSlider(Sides, 0.1f);        // 5
  s.SetSlider(Radius, 1.0f);       // 100
  s.SetSlider(StarDepth, 0.905f);  // 1.00, which a polygon ignores
  ShapeOutline polygon(s, 0);
  ASSERT_EQ(polygon.Count(), 5);
  polygon.BeginPass();
  polygon.ComputeRing(1.0, 200, 200);
  EXPECT_NEAR(polygon.X(5), 200, 1e-4);  // the last vertex straight down
  EXPECT_NEAR(polygon.Y(5), 300, 1e-4);
  EXPECT_NEAR(polygon.X(1), 200 + 100 * std::sin(DegToRad(72)), 1e-4);  // 72 degrees on
  // The closing side, from vertex 1 to vertex 5, is drawn last.
  DrawingSurface surface(400, 400);
  surface.SetForeColor(0);
  polygon.DrawRing(surface);
  EXPECT_EQ(surface.ReadPoint((polygon.X(1) + 200) / 2, (polygon.Y(1) + 300) / 2), 0);
  EXPECT_EQ(surface.CurrentX(), static_cast<float>(polygon.X(5)));
  s.Star = true;  // 6 vertices, the odd ones inner points at t - depth = 0: the centre
  ShapeOutline star(s, 0);
  star.BeginPass();
  star.ComputeRing(1.0, 50, 50);
  EXPECT_NEAR(star.X(1), 50, 1e-9);
  EXPECT_NEAR(star.Y(3), 50, 1e-9);
  EXPECT_NEAR(std::hypot(star.X(2) - 50, star.Y(2) - 50), 100, 1e-4);
  star.ComputeRing(0.9, 50, 50);  // the inner point crosses the centre: 10 beyond at 60 degrees
  EXPECT_NEAR(star.Y(1), 45, 1e-4);
  ShapeOutline empty(ShapeSettings{}, 0);  // no design loaded: nothing to draw
  surface.SetBackColor(7);
  empty.DrawRing(surface);
  EXPECT_EQ(surface.Capture(), Raster(400, 400, 7));
}

}  // namespace
}  // namespace flinder
