#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/Checkerboard.h"
#include "render/FrameRenderer.h"
#include "render/RgbaRaster.h"

namespace flinder {
namespace {

// Moves the slider to a position that gives the value.
void Set(ShapeSettings& s, Parameter index, float value) {
  for (int k = 0; k <= 1000 && s.SliderVal(index) != value; ++k)
    s.SetSlider(static_cast<std::int16_t>(index), k / 1000.0f);
  ASSERT_EQ(s.SliderVal(index), value) << "slider " << index;
}

void SetColour(ShapeSettings& s, int slot, ColourValue colour) {
  s.SelectedSlot = slot;
  s.SetSlider(RedSlider, RedOf(colour) / 255.0f);
  s.SetSlider(GreenSlider, GreenOf(colour) / 255.0f);
  s.SetSlider(BlueSlider, BlueOf(colour) / 255.0f);
}

constexpr ColourValue Grey = MakeColour(100, 100, 100);
constexpr ColourValue White = 0xFFFFFF;
constexpr ColourValue Blue = MakeColour(0, 0, 255);
constexpr ColourValue Innermost = MakeColour(225, 225, 0);  // 0.9 inner + 0.1 outer (black)

// A pentagon of radius 0, a dot, at (60, 50) of a 120 x 100 frame on flat
// grey; the caption off, text and shadows black.
ShapeSettings Design() {
  ShapeSettings s;
  Set(s, Sides, 5);
  Set(s, Speed, 1.0);
  SetColour(s, Back, Grey);
  SetColour(s, Dither, Grey);
  SetColour(s, Inner, MakeColour(250, 250, 0));
  s.PosX = s.PosY = 0.5;
  s.TextX = 0.2;
  s.TextY = 0.3;
  return s;
}

Raster Frame(const ShapeSettings& s) {
  DrawingSurface surface(120, 100);
  FrameRenderer().DrawFrame(surface, s);
  return surface.Capture();
}

TEST(DrawFrame, BackgroundBlendsDownwardsAndThePenCarriesIntoTheNextFrame) {
  ShapeSettings s = Design();
  SetColour(s, Back, 0);
  SetColour(s, Dither, White);
  Set(s, Detail, 6);  // the last ring's pen is 6 wide
  // An empty caption prints nothing, so only its positioning runs: on this
  // blend a dot of any width or colour would break a row.
  s.Text = "";
  s.ShowText = s.ViewTextShadow = true;
  DrawingSurface surface(120, 100);
  FrameRenderer renderer;
  auto rows = [&surface] {  // the colour of each row, clear of the dot
    std::vector<ColourValue> colours;
    for (int y = 0; y < 100; ++y) {
      colours.push_back(surface.ReadPoint(0, y));
      for (int x = 1; x < 50; ++x)
        EXPECT_EQ(surface.ReadPoint(x, y), colours.back()) << x << "," << y;
    }
    return colours;
  };
  renderer.DrawFrame(surface, s);  // the first frame's pen is 1 wide
  std::vector<ColourValue> row = rows();
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(row[30], MakeColour(76, 76, 76));  // 76.5, halves to even
  EXPECT_EQ(row[50], MakeColour(128, 128, 128));
  EXPECT_EQ(row[51], MakeColour(130, 130, 130));
  EXPECT_EQ(row[99], MakeColour(252, 252, 252));
  // Each row takes the last line within 3 rows of it: row 0 line 3
  // (t = 0.03), and the line below the raster paints rows 97 to 99.
  renderer.DrawFrame(surface, s);
  row = rows();
  EXPECT_EQ(row[0], MakeColour(8, 8, 8));
  EXPECT_EQ(row[96], MakeColour(252, 252, 252));
  EXPECT_EQ(std::vector(row.begin() + 97, row.end()), std::vector(3, White));
  EXPECT_EQ(renderer.BackgroundRows(s, 100), row);  // as every frame after the first
  // In front the positioning comes after the shape and leaves the pen 1 wide.
  s.TextFront = true;
  renderer.DrawFrame(surface, s);
  rows();
  EXPECT_EQ(surface.DrawWidth(), 1);
  renderer.DrawFrame(surface, s);
  row = rows();
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(renderer.BackgroundRows(s, 100), row);
}

TEST(DrawFrame, RadiusZeroIsADotAndTheShapeLiesOverItsShadow) {
  ShapeSettings s = Design();
  Set(s, Detail, 3);
  auto dot = [](Raster& r, int x, int y, ColourValue colour) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) r.At(x + dx, y + dy) = colour;
  };
  for (int offset : {5, 1}) {  // at 1 the dots overlap
    Set(s, ShapeShadowOffset, static_cast<float>(offset));
    for (bool shadow : {true, false}) {
      s.ViewShapeShadow = shadow;
      Raster expected(120, 100, Grey);
      if (shadow) {
        dot(expected, 60 + offset, 50 + offset, 0);
        dot(expected, 60 - offset, 50 - offset, Innermost);
      } else {
        dot(expected, 60, 50, Innermost);
      }
      EXPECT_EQ(Frame(s), expected) << "offset " << offset << ", shadow " << shadow;
    }
  }
}

TEST(DrawFrame, TheCaptionLiesUnderTheShapeBehindItAndOverItInFront) {
  ShapeSettings s = Design();
  Set(s, Radius, 20);
  Set(s, Detail, 6);
  SetColour(s, Text, Blue);
  s.TextX = 0.3;  // across the shape
  s.TextY = 0.4;
  const Raster shape = Frame(s);
  s.ShowText = true;
  const Raster behind = Frame(s);
  s.TextFront = true;
  const Raster inFront = Frame(s);
  int covered = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 120; ++x)
      if (shape.At(x, y) != Grey) {
        EXPECT_EQ(behind.At(x, y), shape.At(x, y)) << x << "," << y;
        covered += inFront.At(x, y) != shape.At(x, y);
      }
  EXPECT_GT(covered, 20);
}

struct Print {
  float X, Y;
  int Slot;
};

// The frame without its caption, then the caption printed at each place.
Raster Printed(ShapeSettings s, const std::vector<Print>& prints) {
  s.ShowText = false;
  DrawingSurface surface(120, 100);
  FrameRenderer().DrawFrame(surface, s);
  for (const Print& print : prints) {
    surface.SetForeColor(s.PlainColour(print.Slot));
    surface.SetCurrentPosition(print.X, print.Y);
    surface.PrintText(s.Text);
  }
  return surface.Capture();
}

TEST(DrawFrame, CaptionSitsOnItsCornerWithItsShadowOffset) {
  // The corner is at (24, 30): 120 x 0.2, 100 x 0.3.
  ShapeSettings s = Design();
  s.PosX = s.PosY = 0.95;  // the dot is far from the caption
  SetColour(s, TextShadow, Blue);
  Set(s, TextShadowOffset, 4);
  s.ShowText = true;  // behind the shape: up and left by half the offset
  EXPECT_EQ(Frame(s), Printed(s, {{22, 28, Text}}));
  s.ViewTextShadow = true;
  EXPECT_EQ(Frame(s), Printed(s, {{26, 32, TextShadow}, {22, 28, Text}}));
  s.TextFront = true;  // in front: on the corner, printed again over the shadow
  EXPECT_EQ(Frame(s), Printed(s, {{24, 30, Text}, {28, 34, TextShadow}, {24, 30, Text}}));
  s.ViewTextShadow = false;
  EXPECT_EQ(Frame(s), Printed(s, {{24, 30, Text}, {24, 30, Text}}));
  Set(s, TextShadowOffset, -3);  // the shadow goes up and left
  s.ViewTextShadow = true;
  EXPECT_EQ(Frame(s), Printed(s, {{24, 30, Text}, {21, 27, TextShadow}, {24, 30, Text}}));
  s.TextFront = false;
  EXPECT_EQ(Frame(s), Printed(s, {{22.5f, 28.5f, TextShadow}, {25.5f, 31.5f, Text}}));
  s.ShowText = false;  // then no text, behind or in front, whatever the shadow says
  for (bool front : {false, true}) {
    s.TextFront = front;
    EXPECT_EQ(Frame(s), Printed(s, {}));
  }
}

TEST(DrawFrame, ShapeAndCaptionFarOffTheRasterLeaveTheBackgroundAlone) {
  ShapeSettings s = Design();
  Set(s, Radius, 50);
  Set(s, Detail, 6);
  Set(s, ShapeShadowOffset, 5);
  s.ShowText = s.ViewShapeShadow = s.ViewTextShadow = true;
  for (double far : {1e7, -1e7, 1e300, -double(INFINITY), double(NAN)})
    for (bool front : {false, true}) {
      s.PosY = s.TextY = far;  // 420 x 1e7 does not fit an int
      s.TextFront = front;
      DrawingSurface surface(420, 420);
      FrameRenderer renderer;
      renderer.DrawFrame(surface, s);
      EXPECT_EQ(surface.Capture(), Raster(420, 420, Grey)) << far << ", front " << front;
      EXPECT_FALSE(std::fabs(surface.CurrentY()) < 1e6);  // the position went there too
      EXPECT_EQ(renderer.FrameNo, 1);
    }
}

class CountLabel : public FrameObserver {
 public:
  void FrameCountChanged(const std::string& text) override { Texts.push_back(text); }
  std::vector<std::string> Texts;
};

TEST(DrawFrame, CompletedCyclesShowTheirLengthButWithoutSpeedNothingChanges) {
  ShapeSettings s = Design();
  DrawingSurface surface(120, 100);
  CountLabel label;
  FrameRenderer renderer(&label);
  renderer.CycleRunning = true;
  for (int frame = 1; frame <= 18; ++frame) renderer.DrawFrame(surface, s);
  EXPECT_TRUE(renderer.CycleRunning);
  renderer.DrawFrame(surface, s);
  EXPECT_FALSE(renderer.CycleRunning);  // the export run ends here
  EXPECT_EQ(FramesInCycle(s, 500), 19);
  for (int frame = 1; frame <= 19; ++frame) renderer.DrawFrame(surface, s);
  EXPECT_EQ(label.Texts, (std::vector<std::string>{"18", "19"}));
  // Speed 0 keeps the pose and, from the second frame on, the carried pen:
  // every frame is the same picture, and the counter stops at its top.
  Set(s, Speed, 0);
  Set(s, Radius, 20);
  Set(s, Detail, 4);
  s.Star = s.ShowText = s.ViewShapeShadow = s.ViewTextShadow = true;
  Set(s, ShapeShadowOffset, 3);
  renderer.FrameNo = 32760;
  renderer.DrawFrame(surface, s);
  renderer.DrawFrame(surface, s);
  const Raster second = surface.Capture();
  for (int frame = 0; frame < 18; ++frame) renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.Capture(), second);
  EXPECT_EQ(renderer.FrameNo, 32767);
  EXPECT_EQ(label.Texts.size(), 2u);  // no cycle completed
  EXPECT_EQ(FramesInCycle(s, 500), 500);
}

// A transparent design marks exactly the pixels nothing was drawn on, even
// where the shape has the background's own colour, and the preview shows
// checks there. Untouched pixels are those that follow the background when
// it changes.
TEST(DrawFrame, ATransparentDesignMarksOnlyItsBackground) {
  ShapeSettings s = Design();
  Set(s, Radius, 20);
  Set(s, Detail, 3);
  SetColour(s, Inner, Grey);  // the shape in the background's own colour
  SetColour(s, Outer, Grey);
  s.ShowText = s.TextFront = true;
  s.TextX = 0.05;
  const Raster opaque = Frame(s);
  SetColour(s, Back, 0);
  SetColour(s, Dither, 0);
  const Raster onBlack = Frame(s);
  SetColour(s, Back, Grey);
  SetColour(s, Dither, Grey);
  s.Transparent = true;
  DrawingSurface surface(120, 100);
  FrameRenderer().DrawFrame(surface, s);
  const Raster marked = surface.Capture();
  ShowChecksBehind(surface);
  const Raster preview = surface.Capture();
  int background = 0, drawn = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 120; ++x) {
      const ColourValue pixel = marked.At(x, y);
      EXPECT_EQ(pixel & 0xFFFFFF, opaque.At(x, y)) << x << "," << y;  // the blend stays the matte
      const bool untouched = opaque.At(x, y) == Grey && onBlack.At(x, y) == 0;
      if (IsBackground(pixel)) {
        ++background;
        EXPECT_TRUE(untouched) << x << "," << y;
        EXPECT_EQ(preview.At(x, y), ((x / 8 + y / 8) % 2 ? MakeColour(214, 214, 214) : White));
      } else {
        drawn += !untouched;  // a faint edge may round to the background's colour
        EXPECT_EQ(preview.At(x, y), pixel) << x << "," << y;
      }
    }
  EXPECT_GT(background, 8000);
  EXPECT_GT(drawn, 1000);
}

// At scale 2 on a surface twice the size, every length doubles: the dot a
// wide pen leaves at radius 0, the shadow's offset and the caption's width.
TEST(DrawFrame, AScaledFrameDrawsEveryLengthLarger) {
  ShapeSettings s = Design();
  Set(s, Detail, 5);
  s.ShowText = s.TextFront = s.ViewShapeShadow = true;
  Set(s, ShapeShadowOffset, 4);
  s.Text = "Wide";
  s.TextY = 0.05;
  struct Extent {
    int Left = 1 << 20, Right = -1, Ink = 0;
  };
  // The horizontal extents of the shape's rows (y at the centre) and of the caption's.
  auto measure = [&](int scale) {
    DrawingSurface surface(120 * scale, 100 * scale);
    FrameRenderer renderer;
    renderer.Scale = scale;
    renderer.DrawFrame(surface, s);
    Extent shape, caption;
    for (int y = 0; y < surface.Height(); ++y)
      for (int x = 0; x < surface.Width(); ++x) {
        if (surface.ReadPoint(x, y) == Grey) continue;
        Extent& e = y < 35 * scale ? caption : shape;
        e.Left = std::min(e.Left, x);
        e.Right = std::max(e.Right, x);
        ++e.Ink;
      }
    return std::pair(shape, caption);
  };
  const auto [shape1, caption1] = measure(1);
  const auto [shape2, caption2] = measure(2);
  // The dot, 4 left of the centre, and its shadow 4 right, each 2.5 wide either way.
  EXPECT_EQ(std::pair(shape1.Left, shape1.Right), std::pair(54, 66));
  EXPECT_EQ(std::pair(shape2.Left, shape2.Right), std::pair(107, 133));
  EXPECT_NEAR(shape2.Ink, 4 * shape1.Ink, shape1.Ink / 4);
  EXPECT_NEAR(caption2.Right - caption2.Left, 2 * (caption1.Right - caption1.Left), 3);
}

// A transparent design drawn once on a surface that keeps coverage gives
// straight alpha: composited over white (black) it is the design drawn opaque
// on white (black) within 2 levels, anti-aliased caption and shadow edges
// translucent in their own colour.
TEST(DrawFrame, KeptCoverageComposesLikeTheDesignOnWhiteAndOnBlack) {
  ShapeSettings s = Design();
  Set(s, Radius, 20);
  s.ShowText = s.TextFront = s.ViewTextShadow = true;
  Set(s, TextShadowOffset, 3);
  SetColour(s, TextShadow, MakeColour(0, 90, 200));
  SetColour(s, Text, MakeColour(200, 30, 10));
  auto drawnOn = [&](ColourValue back) {
    SetColour(s, Back, back);
    SetColour(s, Dither, back);
    return Frame(s);
  };
  const Raster onWhite = drawnOn(White), onBlack = drawnOn(0);
  s.Transparent = true;
  DrawingSurface surface(120, 100);
  surface.SetKeepCoverage(true);
  FrameRenderer().DrawFrame(surface, s);
  const RgbaRaster rgba = StraightRgba(surface.Capture());
  int clear = 0, translucent = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 120; ++x) {
      const std::uint8_t* p = rgba.At(x, y);
      clear += p[3] == 0;
      translucent += p[3] > 0 && p[3] < 255;
      for (int c = 0; c < 3; ++c) {
        const int overBlack = (p[c] * p[3] + 127) / 255, overWhite = overBlack + 255 - p[3];
        const int shift = 8 * c;
        EXPECT_NEAR(overWhite, (onWhite.At(x, y) >> shift) & 0xFF, 2) << x << "," << y;
        EXPECT_NEAR(overBlack, (onBlack.At(x, y) >> shift) & 0xFF, 2) << x << "," << y;
      }
    }
  EXPECT_GT(clear, 8000);
  EXPECT_GT(translucent, 20);
}

}  // namespace
}  // namespace flinder
