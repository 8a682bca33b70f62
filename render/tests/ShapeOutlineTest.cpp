#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/ShapeOutline.h"

namespace flinder {
namespace {

// Frames from the angle 0 until the one that completes the cycle, included.
std::vector<double> Cycle(int sides, bool star, float speed) {
  double period = SymmetryPeriod(VertexCount(sides, star), star);
  std::vector<double> angles;
  double angle = 0;
  for (int frame = 0; frame < 1000; ++frame) {
    RotationStep step = NextRotation(angle, speed, period);
    angles.push_back(step.Angle);
    if (step.CycleComplete) return angles;
    angle = step.Angle;
  }
  return angles;
}

float SpeedValue(float position) {
  ShapeSettings s;
  s.SetSlider(Speed, position);
  return s.SliderVal(Speed);
}

TEST(Rotation, CycleLengthsFollowSinglePrecisionSteps) {
  EXPECT_EQ(Cycle(5, false, 1.0f).size(), 19u);
  EXPECT_EQ(Cycle(5, false, 0.3f).size(), 60u);  // not the 61 of exact 1.2-degree steps
  EXPECT_EQ(Cycle(5, false, 0.2f).size(), 91u);
  EXPECT_EQ(Cycle(3, false, 5.0f).size(), 7u);
  EXPECT_EQ(Cycle(5, true, 0.5f).size(), 61u);
  // The same speeds as the Speed slider derives them.
  EXPECT_EQ(Cycle(5, false, SpeedValue(0.535f)).size(), 60u);
  EXPECT_EQ(Cycle(5, false, SpeedValue(0.525f)).size(), 91u);
}

TEST(Rotation, AnglesRunDownToThePeriodThenBackToZero) {
  auto angles = Cycle(5, false, 1.0f);
  EXPECT_EQ(angles.front(), -4);
  EXPECT_EQ(angles[17], -72);  // exactly the period: not yet complete
  EXPECT_EQ(angles.back(), 0);

  auto growing = Cycle(5, false, -1.0f);
  EXPECT_EQ(growing.front(), 4);
  EXPECT_EQ(growing[17], 72);
  EXPECT_EQ(growing.size(), 19u);  // completes where 76 would be reached
}

TEST(Rotation, SpeedZeroNeverCompletes) {
  EXPECT_EQ(Cycle(5, false, 0.0f).size(), 1000u);
  EXPECT_EQ(NextRotation(12.5, 0.0f, 72).Angle, 12.5);
}

TEST(Outline, VertexCountsAndPeriods) {
  EXPECT_EQ(VertexCount(5, true), 6);
  EXPECT_EQ(VertexCount(3, true), 4);
  EXPECT_EQ(VertexCount(6, true), 6);
  EXPECT_EQ(VertexCount(5, false), 5);
  EXPECT_EQ(SymmetryPeriod(6, true), 120);
  EXPECT_EQ(SymmetryPeriod(5, false), 72);
}

TEST(Outline, RingScalesComeFromRepeatedSubtraction) {
  const auto& t = RingScales();
  EXPECT_EQ(t[0], 1.0);
  EXPECT_EQ(t[3], 0.7000000000000001);
  EXPECT_EQ(t[6], 0.40000000000000013);
  EXPECT_EQ(t[9], 0.10000000000000014);
}

ShapeSettings Design(float sidesPos, float radiusPos, bool star, float depthPos = 0) {
  ShapeSettings s;
  s.SetSlider(Sides, sidesPos);
  s.SetSlider(Radius, radiusPos);
  s.SetSlider(StarDepth, depthPos);
  s.Star = star;
  return s;
}

TEST(Outline, LastVertexLiesBelowTheCentreAndOrderRunsCounterClockwise) {
  ShapeSettings s = Design(0.1f, 1.0f, false);  // 5 sides, radius 100
  ShapeOutline outline(s, 0);
  outline.BeginPass();
  outline.ComputeRing(1.0, 200, 200);
  ASSERT_EQ(outline.Count(), 5);
  EXPECT_NEAR(outline.X(5), 200, 1e-4);
  EXPECT_NEAR(outline.Y(5), 300, 1e-4);
  // Vertex 1 sits 72 degrees on from straight down: to the right, below.
  EXPECT_NEAR(outline.X(1), 200 + 100 * std::sin(DegToRad(72)), 1e-4);
  EXPECT_GT(outline.X(1), 200);
  EXPECT_GT(outline.Y(1), 200);
  // Sine and cosine are single-precision numbers scaled in double.
  double theta = DegToRad(72.0);
  EXPECT_EQ(outline.X(1), 200 + static_cast<double>(static_cast<float>(std::sin(theta))) * 100);
}

TEST(Outline, StarInnerPointsAlternateAndMayCrossTheCentre) {
  ShapeSettings s = Design(0.1f, 1.0f, true, 0.905f);  // 6 vertices, depth 1.00
  ASSERT_FLOAT_EQ(s.SliderVal(StarDepth), 1.0f);
  ShapeOutline outline(s, 0);
  outline.BeginPass();
  outline.ComputeRing(1.0, 50, 50);
  // Odd vertices are inner points at t - depth = 0: the centre.
  EXPECT_NEAR(outline.X(1), 50, 1e-9);
  EXPECT_NEAR(outline.Y(3), 50, 1e-9);
  EXPECT_NEAR(std::hypot(outline.X(2) - 50, outline.Y(2) - 50), 100, 1e-4);

  // The flag runs on over the rings of one pass, and restarts with a new pass.
  outline.ComputeRing(0.9, 50, 50);
  EXPECT_LT(std::hypot(outline.X(1) - 50, outline.Y(1) - 50), 11);
  outline.BeginPass();
  outline.ComputeRing(1.0, 50, 50);
  EXPECT_NEAR(outline.X(1), 50, 1e-9);
}

TEST(Outline, PolygonWithAnOddCountAlternatesWithoutEffect) {
  ShapeSettings s = Design(0.1f, 0.5f, false);
  ShapeOutline outline(s, 33);
  outline.BeginPass();
  for (double t : RingScales()) {
    outline.ComputeRing(t, 0, 0);
    for (int j = 1; j <= 5; ++j) EXPECT_NEAR(std::hypot(outline.X(j), outline.Y(j)), 50 * t, 1e-4);
  }
}

TEST(Outline, RingIsClosedFromFirstToLastVertex) {
  ShapeSettings s = Design(0, 1.0f, false);  // triangle
  ShapeOutline outline(s, 0);
  outline.BeginPass();
  outline.ComputeRing(1.0, 150, 150);
  DrawingSurface surface(300, 300);
  surface.SetBackColor(0);
  surface.SetForeColor(0xFFFFFF);
  outline.DrawRing(surface);
  for (int j = 1; j <= 3; ++j) {
    int k = j % 3 + 1;
    double mx = (outline.X(j) + outline.X(k)) / 2, my = (outline.Y(j) + outline.Y(k)) / 2;
    EXPECT_EQ(surface.ReadPoint(mx, my), 0xFFFFFF) << "side " << j << "-" << k;
  }
  EXPECT_EQ(surface.CurrentX(), static_cast<float>(outline.X(3)));  // closing segment ends there
}

TEST(Outline, NoDesignLoadedDrawsNothing) {
  ShapeSettings empty;
  ShapeOutline outline(empty, 0);
  EXPECT_EQ(outline.Count(), 0);
  DrawingSurface surface(10, 10);
  surface.SetBackColor(7);
  outline.BeginPass();
  outline.ComputeRing(1.0, 5, 5);
  outline.DrawRing(surface);
  for (ColourValue p : surface.Capture().Pixels) EXPECT_EQ(p, 7);
}

}  // namespace
}  // namespace flinder
