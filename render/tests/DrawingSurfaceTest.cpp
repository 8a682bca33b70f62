#include <gtest/gtest.h>

#include "render/DrawingSurface.h"

namespace flinder {
namespace {

constexpr ColourValue White = 0xFFFFFF;
constexpr ColourValue Ink = MakeColour(10, 20, 30);

DrawingSurface Blank(int w, int h) {
  DrawingSurface s(w, h);
  s.SetBackColor(White);
  s.SetForeColor(Ink);
  return s;
}

int InkCount(const DrawingSurface& s) {
  int n = 0;
  for (ColourValue p : s.Capture().Pixels) n += p == Ink;
  return n;
}

TEST(DrawingSurface, ReadPointIsMinusOneOffTheRaster) {
  DrawingSurface s = Blank(40, 30);
  s.FillBox(39, 29, 39, 29, Ink);
  EXPECT_EQ(s.ReadPoint(39, 29), Ink);
  EXPECT_EQ(s.ReadPoint(-1, 5), -1);
  EXPECT_EQ(s.ReadPoint(40, 5), -1);
  EXPECT_EQ(s.ReadPoint(5, 30), -1);
  EXPECT_EQ(s.ReadPoint(5, -1), -1);
  EXPECT_EQ(s.ReadPoint(0, 0), White);
}

TEST(DrawingSurface, ClearAndBackColorFillAndResetPosition) {
  DrawingSurface s = Blank(20, 20);
  s.DrawLine(0, 0, 19, 19);
  s.Clear();
  s.SetBackColor(Ink);
  EXPECT_EQ(InkCount(s), 400);
  EXPECT_EQ(s.CurrentX(), 0);
  EXPECT_EQ(s.CurrentY(), 0);
}

TEST(DrawingSurface, OffRasterDrawingChangesNoPixelButMovesThePosition) {
  DrawingSurface s = Blank(20, 20);
  s.SetDrawWidth(6);
  s.PlotPoint(-10, 50);
  s.DrawLine(-50, -50, 100, -20);
  s.DrawLine(1e30f, 5, 2e30f, 5);
  EXPECT_EQ(InkCount(s), 0);
  EXPECT_EQ(s.CurrentX(), 2e30f);
  s.PlotPoint(-10, 50);
  EXPECT_EQ(s.CurrentX(), -10);
  EXPECT_EQ(s.CurrentY(), 50);
}

TEST(DrawingSurface, LinesPartlyOffTheRasterDrawOnlyTheirInsidePart) {
  DrawingSurface s = Blank(20, 10);
  s.DrawLine(-100, 5, 100, 5);
  EXPECT_EQ(InkCount(s), 20);
  s.Clear();
  s.DrawLine(5, -30, 5, 200);  // vertical, both ends off
  EXPECT_EQ(InkCount(s), 10);
  s.Clear();
  s.DrawLine(-5, -5, 25, 25);  // diagonal through the corner: nothing wraps
  for (int i = 0; i < 10; ++i) EXPECT_EQ(s.ReadPoint(i, i), Ink);
  EXPECT_EQ(InkCount(s), 10);
}

TEST(DrawingSurface, ThinLineIsOnePixelPerStepWithBothEnds) {
  DrawingSurface s = Blank(30, 30);
  s.DrawLine(2, 3, 12, 8);
  EXPECT_EQ(InkCount(s), 11);
  EXPECT_EQ(s.ReadPoint(2, 3), Ink);
  EXPECT_EQ(s.ReadPoint(12, 8), Ink);
  s.Clear();
  s.PlotPoint(4, 4);
  EXPECT_EQ(InkCount(s), 1);
}

TEST(DrawingSurface, WideLineCoversPixelsWithinHalfTheWidth) {
  DrawingSurface s = Blank(40, 40);
  s.SetDrawWidth(6);
  s.DrawLine(10, 20, 30, 20);
  // Rows 17..23 between the ends; the round ends reach 3 pixels beyond.
  EXPECT_EQ(s.ReadPoint(20, 17), Ink);
  EXPECT_EQ(s.ReadPoint(20, 23), Ink);
  EXPECT_EQ(s.ReadPoint(20, 24), White);
  EXPECT_EQ(s.ReadPoint(7, 20), Ink);
  EXPECT_EQ(s.ReadPoint(6, 20), White);
  EXPECT_EQ(s.ReadPoint(7, 17), White);  // corner of the round end
  s.Clear();
  s.PlotPoint(20, 20);  // a disc of diameter 6
  EXPECT_EQ(InkCount(s), 29);
}

TEST(DrawingSurface, WideSegmentsMeetWithoutANotch) {
  for (int width : {3, 6}) {
    DrawingSurface s = Blank(60, 60);
    s.SetDrawWidth(width);
    s.DrawLine(10, 40, 30, 10);
    s.DrawLine(30, 10, 50, 40);
    // Every pixel near the joint within half the width is inked.
    double r = width / 2.0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x)
        if ((x - 30) * (x - 30) + (y - 10) * (y - 10) <= r * r) {
          EXPECT_EQ(s.ReadPoint(x, y), Ink) << "width " << width << " at " << x << "," << y;
        }
  }
}

TEST(DrawingSurface, FillBoxIncludesBothCornersAndClips) {
  DrawingSurface s = Blank(10, 10);
  s.FillBox(-3, 1, 3, 8, Ink);
  EXPECT_EQ(InkCount(s), 4 * 8);
  EXPECT_EQ(s.CurrentX(), 3);
  EXPECT_EQ(s.CurrentY(), 8);
}

TEST(DrawingSurface, StateCarriesOverAndResizeKeepsThePicture) {
  DrawingSurface s = Blank(10, 10);
  s.SetDrawWidth(6);
  s.FillBox(0, 0, 1, 1, Ink);
  s.Resize(20, 5);
  EXPECT_EQ(s.DrawWidth(), 6);
  EXPECT_EQ(s.ReadPoint(1, 1), Ink);
  EXPECT_EQ(s.ReadPoint(15, 2), White);
  EXPECT_EQ(s.ReadPoint(5, 7), -1);
}

}  // namespace
}  // namespace flinder
