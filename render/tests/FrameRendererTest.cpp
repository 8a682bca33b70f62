#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "render/FrameRenderer.h"

namespace flinder {
namespace {

// Slider positions in the middle of the step that gives each value.
void Set(ShapeSettings& s, Parameter index, double value) {
  double position = 0;
  switch (index) {
    case Sides:
      position = (value - 3 + 0.5) / 20;
      break;
    case Radius:
      position = (value + 0.5) / 100;
      break;
    case Speed:
      position = 0.5 + (value * 10 + 0.5) / 100;
      break;
    case Detail:
      position = (value - 1 + 0.5) / 5;
      break;
    case ShapeShadowOffset:
    case TextShadowOffset:
      position = 0.5 + (value + 0.5) / 20;
      break;
    default:
      FAIL();
  }
  s.SetSlider(static_cast<std::int16_t>(index), static_cast<float>(position));
  ASSERT_EQ(s.SliderVal(index), static_cast<float>(value));
}

void SetColour(ShapeSettings& s, int slot, int r, int g, int b) {
  s.SelectedSlot = slot;
  s.SetSlider(RedSlider, r / 255.0f);
  s.SetSlider(GreenSlider, g / 255.0f);
  s.SetSlider(BlueSlider, b / 255.0f);
}

// A pentagon on a flat grey background, the caption off.
ShapeSettings Design() {
  ShapeSettings s;
  Set(s, Sides, 5);
  Set(s, Radius, 20);
  Set(s, Speed, 1.0);
  Set(s, Detail, 1);
  SetColour(s, Back, 100, 100, 100);
  SetColour(s, Dither, 100, 100, 100);
  SetColour(s, Inner, 250, 250, 0);
  SetColour(s, Outer, 0, 0, 250);
  SetColour(s, Text, 255, 255, 255);
  SetColour(s, ShapeShadow, 0, 0, 0);
  SetColour(s, TextShadow, 20, 20, 20);
  s.PosX = s.PosY = 0.5;
  s.TextX = 0.2;
  s.TextY = 0.3;
  return s;
}

Raster Frame(const ShapeSettings& s, int w = 120, int h = 100) {
  DrawingSurface surface(w, h);
  FrameRenderer renderer;
  renderer.DrawFrame(surface, s);
  return surface.Capture();
}

struct Box {
  int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1;
  bool operator==(const Box&) const = default;
  Box Shifted(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  Box United(const Box& o) const {
    return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
            std::max(Bottom, o.Bottom)};
  }
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "(" << b.Left << "," << b.Top << ")-(" << b.Right << "," << b.Bottom << ")";
}

Box ChangedBox(const Raster& a, const Raster& b) {
  Box box;
  for (int y = 0; y < a.Height; ++y)
    for (int x = 0; x < a.Width; ++x)
      if (a.At(x, y) != b.At(x, y)) box = box.United({x, y, x, y});
  return box;
}

TEST(DrawFrame, BackgroundBlendsDownwardsAndRowZeroKeepsTheBackColour) {
  ShapeSettings s = Design();
  Set(s, Radius, 0);
  s.PosY = 0.2;  // the shape shrinks to a dot at (60, 20)
  SetColour(s, Back, 0, 0, 0);
  SetColour(s, Dither, 255, 255, 255);
  const Raster frame = Frame(s);
  for (int x = 0; x < 120; ++x) {
    EXPECT_EQ(frame.At(x, 0), 0);
    EXPECT_EQ(frame.At(x, 50), MakeColour(128, 128, 128));
    EXPECT_EQ(frame.At(x, 51), MakeColour(130, 130, 130));
    EXPECT_EQ(frame.At(x, 99), MakeColour(252, 252, 252));  // t = 99 / 100
  }
}

TEST(DrawFrame, ThePenOfOneFrameWidensTheNextFramesBackground) {
  ShapeSettings s = Design();
  SetColour(s, Back, 0, 0, 0);
  SetColour(s, Dither, 255, 255, 255);
  Set(s, Detail, 6);
  DrawingSurface surface(120, 100);
  FrameRenderer renderer;
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.ReadPoint(0, 0), 0);
  EXPECT_EQ(surface.DrawWidth(), 6);
  // Width 6: row 0 last gets line 3 (t = 0.03), the bottom row line 100.
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.ReadPoint(0, 0), MakeColour(8, 8, 8));
  EXPECT_EQ(surface.ReadPoint(0, 99), MakeColour(255, 255, 255));
  // A caption in front leaves a one-pixel pen: row 0 is plain again after.
  s.ShowText = s.TextFront = true;
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.DrawWidth(), 1);
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.ReadPoint(0, 0), 0);
}

TEST(DrawFrame, ShapeShadowAndShapeLieEitherSideOfTheCentre) {
  // With radius 0 every ring is a dot on its centre.
  ShapeSettings s = Design();
  Set(s, Radius, 0);
  Set(s, Detail, 3);
  Set(s, ShapeShadowOffset, 5);
  const ColourValue shadow = s.PlainColour(ShapeShadow);
  const ColourValue innermost = MakeColour(225, 225, 25);  // 0.9 inner + 0.1 outer
  DrawingSurface surface(120, 100);
  FrameRenderer renderer;
  s.ViewShapeShadow = true;
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.ReadPoint(65, 55), shadow);
  EXPECT_EQ(surface.ReadPoint(55, 45), innermost);
  EXPECT_EQ(surface.ReadPoint(60, 50), MakeColour(100, 100, 100));
  s.ViewShapeShadow = false;
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.ReadPoint(60, 50), innermost);
  EXPECT_EQ(surface.ReadPoint(65, 55), MakeColour(100, 100, 100));
  EXPECT_EQ(surface.ReadPoint(55, 45), MakeColour(100, 100, 100));
}

TEST(DrawFrame, CaptionSitsOnItsCornerWithItsShadowOffset) {
  // The caption alone, printed on the frame's background at a known corner,
  // gives the box that the frame's caption must fill, shifted.
  ShapeSettings s = Design();
  Set(s, Sides, 3);
  Set(s, Radius, 0);
  s.PosX = s.PosY = 0.95;  // the dot of the shape is far from the caption
  Set(s, TextShadowOffset, 4);
  const Raster plain = Frame(s);
  DrawingSurface alone(120, 100);
  FrameRenderer().DrawFrame(alone, s);
  alone.SetForeColor(s.PlainColour(Text));
  alone.SetCurrentPosition(24, 30);  // 120 x 0.2, 100 x 0.3
  alone.PrintText(s.Text);
  const Box caption = ChangedBox(plain, alone.Capture());
  ASSERT_GT(caption.Right, caption.Left);

  s.ShowText = true;
  EXPECT_EQ(ChangedBox(plain, Frame(s)), caption.Shifted(-2, -2));
  s.ViewTextShadow = true;
  EXPECT_EQ(ChangedBox(plain, Frame(s)), caption.Shifted(-2, -2).United(caption.Shifted(2, 2)));
  s.TextFront = true;
  EXPECT_EQ(ChangedBox(plain, Frame(s)), caption.United(caption.Shifted(4, 4)));
  // Without its shadow the caption in front is still printed twice over.
  s.ViewTextShadow = false;
  alone.SetCurrentPosition(24, 30);
  alone.PrintText(s.Text);
  EXPECT_EQ(Frame(s), alone.Capture());
  Set(s, TextShadowOffset, -4);
  s.ViewTextShadow = true;
  EXPECT_EQ(ChangedBox(plain, Frame(s)), caption.United(caption.Shifted(-4, -4)));
}

TEST(DrawFrame, CaptionOffDrawsNoTextWhateverTheOtherSwitches) {
  ShapeSettings s = Design();
  const Raster plain = Frame(s);
  for (bool front : {false, true})
    for (bool shadow : {false, true}) {
      s.TextFront = front;
      s.ViewTextShadow = shadow;
      EXPECT_EQ(Frame(s), plain);
    }
  // An empty caption prints nothing, and the positioning, on or off the
  // raster, changes no pixel.
  s.ShowText = true;
  s.Text.clear();
  for (double corner : {0.0, 0.5, -3.0, 4.0}) {
    s.TextX = s.TextY = corner;
    EXPECT_EQ(Frame(s), plain);
  }
}

class CountLabel : public FrameObserver {
 public:
  void FrameCountChanged(const std::string& text) override { Texts.push_back(text); }
  std::vector<std::string> Texts;
};

TEST(DrawFrame, CompletedCyclesShowTheirLengthAndEndTheExportRun) {
  ShapeSettings s = Design();
  DrawingSurface surface(40, 40);
  CountLabel label;
  FrameRenderer renderer(&label);
  renderer.CycleRunning = true;
  for (int frame = 1; frame <= 18; ++frame) renderer.DrawFrame(surface, s);
  EXPECT_EQ(renderer.Angle, -72);
  EXPECT_TRUE(renderer.CycleRunning);
  EXPECT_TRUE(label.Texts.empty());
  renderer.DrawFrame(surface, s);
  EXPECT_FALSE(renderer.CycleRunning);
  EXPECT_EQ(renderer.Angle, 0);
  EXPECT_EQ(renderer.FrameNo, 1);
  for (int frame = 1; frame <= 19; ++frame) renderer.DrawFrame(surface, s);
  EXPECT_EQ(label.Texts, (std::vector<std::string>{"18", "19"}));
}

TEST(DrawFrame, WithoutSpeedNoCycleCompletesAndTheCounterStopsAtItsTop) {
  ShapeSettings s = Design();
  Set(s, Speed, 0);
  Set(s, Radius, 0);
  DrawingSurface surface(20, 20);
  CountLabel label;
  FrameRenderer renderer(&label);
  renderer.CycleRunning = true;
  renderer.FrameNo = 32760;
  for (int frame = 0; frame < 20; ++frame) renderer.DrawFrame(surface, s);
  EXPECT_EQ(renderer.FrameNo, 32767);
  EXPECT_TRUE(renderer.CycleRunning);
  EXPECT_TRUE(label.Texts.empty());
  // Speed comes back: the counter counts on from its top.
  Set(s, Speed, 5.0);
  for (int frame = 0; frame < 4; ++frame) renderer.DrawFrame(surface, s);
  EXPECT_EQ(label.Texts, std::vector<std::string>{"32767"});
}

TEST(DrawFrame, AnUnchangedDesignRepeatsItsFramesExactly) {
  // Speed 0 keeps the pose; from the second frame on the carried pen is the
  // same too, so every frame is the same picture.
  ShapeSettings s = Design();
  Set(s, Speed, 0);
  Set(s, Detail, 4);
  s.Star = s.ShowText = s.ViewShapeShadow = s.ViewTextShadow = true;
  Set(s, ShapeShadowOffset, 3);
  Set(s, TextShadowOffset, 2);
  DrawingSurface surface(120, 100);
  FrameRenderer renderer;
  renderer.DrawFrame(surface, s);
  renderer.DrawFrame(surface, s);
  const Raster second = surface.Capture();
  renderer.DrawFrame(surface, s);
  EXPECT_EQ(surface.Capture(), second);
}

}  // namespace
}  // namespace flinder
