#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "render/FrameRenderer.h"

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

// A pentagon shrunk to a dot at (60, 50) of a 120 x 100 frame on flat grey;
// the caption off, text and shadows black.
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

using Box = std::array<int, 4>;  // left, top, right, bottom

// The smallest box holding every pixel that differs.
Box ChangedBox(const Raster& a, const Raster& b) {
  Box box{1 << 20, 1 << 20, -1, -1};
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x)
      if (a.At(x, y) != b.At(x, y))
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
  return box;
}

TEST(DrawFrame, BackgroundBlendsDownwardsAndAWidePenCarriesIntoTheNextFrame) {
  ShapeSettings s = Design();
  SetColour(s, Back, 0);
  SetColour(s, Dither, 0xFFFFFF);
  const Raster frame = Frame(s);
  for (int x = 0; x < 50; ++x) {  // clear of the dot
    EXPECT_EQ(frame.At(x, 0), 0);
    EXPECT_EQ(frame.At(x, 50), MakeColour(128, 128, 128));
    EXPECT_EQ(frame.At(x, 51), MakeColour(130, 130, 130));
  }
  Set(s, Detail, 6);  // the last ring's pen is 6 wide
  DrawingSurface surface(120, 100);
  FrameRenderer renderer;
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.ReadPoint(0, 0), 0);
  // Width 6: row 0 last gets line 3 (t = 0.03).
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.ReadPoint(0, 0), MakeColour(8, 8, 8));
}

TEST(DrawFrame, ShapeShadowAndShapeLieEitherSideOfTheCentre) {
  ShapeSettings s = Design();
  Set(s, Detail, 3);
  Set(s, ShapeShadowOffset, 5);
  const ColourValue innermost = MakeColour(225, 225, 0);  // 0.9 inner + 0.1 outer (black)
  for (bool shadow : {true, false}) {
    s.ViewShapeShadow = shadow;
    const Raster frame = Frame(s);
    EXPECT_EQ(frame.At(65, 55), shadow ? 0 : Grey);
    EXPECT_EQ(frame.At(55, 45), shadow ? innermost : Grey);
    EXPECT_EQ(frame.At(60, 50), shadow ? Grey : innermost);
  }
}

TEST(DrawFrame, CaptionSitsOnItsCornerWithItsShadowOffset) {
  // The caption alone, printed on the frame at its corner, gives the box to fill, shifted.
  ShapeSettings s = Design();
  s.PosX = s.PosY = 0.95;  // the dot is far from the caption
  Set(s, TextShadowOffset, 4);
  const Raster plain = Frame(s);
  DrawingSurface alone(120, 100);
  FrameRenderer().DrawFrame(alone, s);
  alone.SetForeColor(s.PlainColour(Text));
  alone.SetCurrentPosition(24, 30);  // 120 x 0.2, 100 x 0.3
  alone.PrintText(s.Text);
  const Box c = ChangedBox(plain, alone.Capture());
  ASSERT_GT(c[2], c[0]);
  // The caption's box moved by `from`, united with it moved by `to`.
  auto span = [&](int from, int to) { return Box{c[0] + from, c[1] + from, c[2] + to, c[3] + to}; };
  s.ShowText = true;  // behind the shape: up and left by half the offset
  EXPECT_EQ(ChangedBox(plain, Frame(s)), span(-2, -2));
  s.ViewTextShadow = true;
  EXPECT_EQ(ChangedBox(plain, Frame(s)), span(-2, 2));
  s.TextFront = true;
  EXPECT_EQ(ChangedBox(plain, Frame(s)), span(0, 4));
  s.ShowText = false;  // then no text, behind or in front, whatever the shadow says
  for (bool front : {false, true}) {
    s.TextFront = front;
    EXPECT_EQ(Frame(s), plain);
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
}

}  // namespace
}  // namespace flinder
