#include <gtest/gtest.h>

#include <algorithm>

#include "render/DrawingSurface.h"

namespace flinder {
namespace {

constexpr ColourValue White = 0xFFFFFF;
constexpr ColourValue Ink = MakeColour(10, 20, 30);

int InkCount(const DrawingSurface& s) {
  return static_cast<int>(std::count(s.Capture().Pixels.begin(), s.Capture().Pixels.end(), Ink));
}

TEST(DrawingSurface, ReadPointClearAndDrawingOffTheRaster) {
  DrawingSurface s(40, 30);        // white
  s.FillBox(-3, 27, 39, 29, Ink);  // both corners included, the left part clipped
  EXPECT_EQ(InkCount(s), 40 * 3);
  EXPECT_EQ(s.ReadPoint(39, 29), Ink);
  for (auto [x, y] : {std::pair{-1, 5}, {40, 5}, {5, 30}, {5, -1}})
    EXPECT_EQ(s.ReadPoint(x, y), -1);
  s.Clear();
  s.SetBackColor(Ink);
  EXPECT_EQ(InkCount(s), 40 * 30);
  EXPECT_EQ(s.CurrentX(), 0);
  EXPECT_EQ(s.CurrentY(), 0);
  // Drawing off the raster changes no pixel but moves the position.
  s.SetBackColor(White);
  s.SetForeColor(Ink);
  s.SetDrawWidth(6);
  s.PlotPoint(-10, 50);
  s.DrawLine(-50, -50, 100, -20);
  s.DrawLine(1e30f, 5, 2e30f, 5);
  EXPECT_EQ(InkCount(s), 0);
  s.PlotPoint(-10, 50);
  EXPECT_EQ(s.CurrentX(), -10);
  EXPECT_EQ(s.CurrentY(), 50);
  // Lines partly off draw their inside part, one pixel per step.
  s.SetDrawWidth(1);
  s.DrawLine(-100, 5, 100, 5);
  s.DrawLine(5, -30, 5, 200);
  EXPECT_EQ(InkCount(s), 40 + 30 - 1);
  s.Clear();
  s.DrawLine(-5, -5, 45, 45);  // diagonal through the corner: nothing wraps
  for (int i = 0; i < 30; ++i) EXPECT_EQ(s.ReadPoint(i, i), Ink);
  EXPECT_EQ(InkCount(s), 30);
}

TEST(DrawingSurface, WidePensAreRoundAndSegmentsMeetWithoutANotch) {
  DrawingSurface s(60, 60);
  s.SetForeColor(Ink);
  s.SetDrawWidth(6);
  s.PlotPoint(20, 20);  // a disc of diameter 6
  EXPECT_EQ(InkCount(s), 29);
  for (int width : {3, 6}) {
    s.Clear();
    s.SetDrawWidth(width);
    s.DrawLine(10, 40, 30, 10);
    s.DrawLine(30, 10, 50, 40);
    // Every pixel within half the width of the joint is inked.
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x)
        if ((x - 30) * (x - 30) + (y - 10) * (y - 10) <= width * width / 4.0) {
          EXPECT_EQ(s.ReadPoint(x, y), Ink) << "width " << width << " at " << x << "," << y;
        }
  }
}

}  // namespace
}  // namespace flinder
