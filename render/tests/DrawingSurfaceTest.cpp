#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render/DrawingSurface.h"
#include "render/SliderThumb.h"

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
  EXPECT_EQ(std::pair(s.CurrentX(), s.CurrentY()), std::pair(0.0f, 0.0f));
  s.SetBackColor(White);
  s.SetForeColor(Ink);
  s.PlotPoint(-10, 50);  // off the raster: no pixel, but the position moves
  EXPECT_EQ(std::pair(s.CurrentX(), s.CurrentY()), std::pair(-10.0f, 50.0f));
  // Lines partly off draw their inside part, one pixel per step.
  s.DrawLine(-100, 5, 100, 5);
  s.DrawLine(5, -30, 5, 200);
  EXPECT_EQ(InkCount(s), 40 + 30 - 1);
  s.Clear();
  s.DrawLine(-5, -5, 45, 45);  // diagonal through the corner: nothing wraps
  for (int i = 0; i < 30; ++i) EXPECT_EQ(s.ReadPoint(i, i), Ink);
  EXPECT_EQ(InkCount(s), 30);
  // Resizing keeps the overlapping part in place; new parts take BackColor.
  s.SetBackColor(White);
  s.FillBox(30, 20, 39, 29, Ink);
  s.Resize(35, 40);
  EXPECT_EQ(InkCount(s), 5 * 10);
  EXPECT_EQ(s.ReadPoint(30, 20), Ink);
  EXPECT_EQ(s.ReadPoint(34, 29), Ink);
  EXPECT_EQ(s.ReadPoint(34, 30), White);
  EXPECT_EQ(s.ReadPoint(29, 25), White);
}

TEST(DrawingSurface, FarOffCoordinatesDrawNothingAtOnceAndLinesAcrossShowTheirPart) {
  DrawingSurface s(40, 30);
  s.SetForeColor(Ink);
  for (double far : {1e300, -1e300, 3e9, -3e9, double(INFINITY), -double(INFINITY), double(NAN)})
    for (int width : {1, 6}) {
      s.SetDrawWidth(width);
      s.PlotPoint(far, 5);
      s.PlotPoint(far, far);
      s.DrawLine(far, 5, far, 20);
      s.FillBox(far, 0, far, 29, Ink);
      s.FillBox(0, far, 39, far, Ink);
      s.SetCurrentPosition(far, 5);
      s.PrintText("Flinder");
      s.SetCurrentPosition(5, far);
      s.PrintText("Flinder");
      s.DrawLine(5, far, 20, far);
      EXPECT_EQ(s.ReadPoint(far, 5), -1);
      EXPECT_EQ(s.ReadPoint(5, far), -1);
      EXPECT_EQ(InkCount(s), 0) << far << ", width " << width;
      EXPECT_EQ(s.CurrentY() == static_cast<float>(far), !std::isnan(far));
    }
  // Ends far off: the part across the raster is the one that near ends give.
  for (int width : {1, 3}) {
    DrawingSurface nearEnds(40, 30), farEnds(40, 30);
    for (DrawingSurface* surface : {&nearEnds, &farEnds}) {
      surface->SetForeColor(Ink);
      surface->SetDrawWidth(width);
    }
    nearEnds.DrawLine(-5, 5, 45, 5);
    nearEnds.DrawLine(-5, -5, 35, 35);
    farEnds.DrawLine(-1e30f, 5, 1e30f, 5);
    farEnds.DrawLine(-1e30f, -1e30f, 1e30f, 1e30f);
    EXPECT_EQ(farEnds.Capture(), nearEnds.Capture()) << "width " << width;
  }
  s.FillBox(36, 26, 3e9f, 3e9f, Ink);
  EXPECT_EQ(InkCount(s), 4 * 4);
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
  // Along a long sloped segment the body, not its round ends, reaches every
  // pixel centre within the radius.
  s.Clear();
  s.SetDrawWidth(7);
  s.DrawLine(0, 0, 59, 59);
  EXPECT_EQ(s.ReadPoint(28, 32), Ink);  // 2.8 from the middle of the segment
  EXPECT_EQ(s.ReadPoint(32, 28), Ink);
  EXPECT_EQ(s.ReadPoint(27, 33), White);  // 4.2 from it
}

constexpr ColourValue Thumb = MakeColour(64, 64, 148);
constexpr ColourValue Line = MakeColour(192, 96, 192);

// One row of the track as letters: '.' track, 'b' thumb, 'l' centre line.
std::string Row(const DrawingSurface& track, int y) {
  std::string row;
  for (int x = 0; x < track.Width(); ++x) {
    ColourValue c = track.ReadPoint(static_cast<float>(x), static_cast<float>(y));
    row += c == Thumb ? 'b' : c == Line ? 'l' : c == SliderTrackColour ? '.' : '?';
  }
  return row;
}

TEST(SliderThumb, TheThumbFollowsThePositionAndIsCutAtTheEnds) {
  DrawingSurface track(20, 9);
  track.SetBackColor(SliderTrackColour);
  DrawSliderThumb(track, 0.5f);
  EXPECT_EQ(Row(track, 0), "....................");
  EXPECT_EQ(Row(track, 1), ".......bbbbbbb......");
  EXPECT_EQ(Row(track, 4), ".......bbblbbb......");
  EXPECT_EQ(Row(track, 7), ".......bbblbbb......");
  EXPECT_EQ(Row(track, 8), "....................");

  // Redrawing clears the old thumb; at 0 and 1 only the inner half shows.
  DrawSliderThumb(track, 0);
  EXPECT_EQ(Row(track, 4), "lbbb................");
  DrawSliderThumb(track, 1);
  EXPECT_EQ(Row(track, 4), ".................bbb");
  EXPECT_EQ(Row(track, 1), ".................bbb");
}

}  // namespace
}  // namespace flinder
