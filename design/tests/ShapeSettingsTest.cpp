#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "design/ShapeSettings.h"

namespace flinder {
namespace {

TEST(ShapeSettings, EndPositionsGiveTheEndsOfEveryRangeAndSpeedSkipsPlusMinusOneTenth) {
  ShapeSettings s;
  const float atZero[] = {3, 0, -5, 1, 1, 20, 20, 0.1f, -10, -10};
  const float atOne[] = {23, 100, 5, 6, 1000, 420, 420, 1.1f, 10, 10};
  for (int i = 0; i < ParameterCount; ++i) {
    s.SetSlider(i, 0);
    EXPECT_EQ(s.SliderVal(i), atZero[i]) << "parameter " << i;
    s.SetSlider(i, 1);
    EXPECT_EQ(s.SliderVal(i), atOne[i]) << "parameter " << i;
  }
  s.SetSlider(Radius, -0.5f);  // positions outside the track are clamped
  EXPECT_EQ(s.SliderPos(Radius), 0.0f);
  s.SetSlider(Radius, 7.0f);
  EXPECT_EQ(s.SliderPos(Radius), 1.0f);
  // Speed skips the smallest step either way.
  auto speed = [&](float position) {
    s.SetSlider(Speed, position);
    return s.SliderVal(Speed);
  };
  for (int step = 0; step <= 1000; ++step) EXPECT_NE(std::abs(speed(step / 1000.0f)), 0.1f) << step;
  EXPECT_EQ(speed(0.5f), 0.0f);
  EXPECT_EQ(speed(0.505f), 0.0f);
  EXPECT_EQ(speed(0.515f), 0.2f);   // raw step 0.1
  EXPECT_EQ(speed(0.495f), -0.2f);  // raw step -0.1
}

TEST(ShapeSettings, ColourSlidersWriteEveryComponentIntoTheSelectedSlotOnly) {
  ShapeSettings s;
  for (int c = 0; c <= 255; ++c) {
    s.SetSlider(GreenSlider, static_cast<float>(c / 255.0));
    ASSERT_EQ(s.SliderVal(GreenSlider), c);
  }
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    s.SelectedSlot = slot;
    for (int c = 0; c < 3; ++c) s.SetSlider(RedSlider + c, 0.5f);
  }
  s.SelectedSlot = Text;
  s.SetSlider(RedSlider, 1.0f);
  for (int i = RedSlider; i < ColourIndex(ColourSlotCount, 0); ++i)
    EXPECT_EQ(s.SliderPos(i), i == ColourIndex(Text, 0) ? 1.0f : 0.5f) << "entry " << i;
  EXPECT_EQ(s.PlainColour(Text), MakeColour(255, 127, 127));
  // The renderer's colour rounds position x 255: 127.5 gives 128.
  EXPECT_EQ(s.PositionColour(Text), MakeColour(255, 128, 128));
}

// The window layer's view of the record, as far as the observer tells it.
struct MirrorObserver : SettingsObserver {
  std::map<int, std::string> labels;
  std::map<int, float> thumbs;
  int interval = 0, width = 0, height = 0;
  ColourValue swatch = -1;
  void ValueLabelChanged(int index, const std::string& text) override { labels[index] = text; }
  void ThumbMoved(int index, float position) override { thumbs[index] = position; }
  void TimerIntervalChanged(int ms) override { interval = ms; }
  void PreviewWidthChanged(int px) override { width = px; }
  void PreviewHeightChanged(int px) override { height = px; }
  void SwatchColourChanged(ColourValue c) override { swatch = c; }
};

TEST(ShapeSettings, TheObserverSeesEveryValueItShows) {
  MirrorObserver o;
  ShapeSettings s(&o);
  s.SetSlider(Delay, 0.1f);
  s.SetSlider(Width, 0.5f);
  s.SetSlider(Height, 1.0f);
  s.SetSlider(Speed, 0.497f);
  s.SelectedSlot = Outer;
  s.SetSlider(GreenSlider, 0.5f);
  s.SetSlider(BlueSlider, 1.0f);
  EXPECT_EQ(o.labels, (std::map<int, std::string>{{Delay, "100"},
                                                  {Width, "220"},
                                                  {Height, "420"},
                                                  {Speed, "-0.2"},
                                                  {GreenSlider, "127"},
                                                  {BlueSlider, "255"}}));
  EXPECT_EQ(o.thumbs, (std::map<int, float>{{Delay, 0.1f},
                                            {Width, 0.5f},
                                            {Height, 1.0f},
                                            {Speed, 0.497f},
                                            {GreenSlider, 0.5f},
                                            {BlueSlider, 1.0f}}));
  EXPECT_EQ(o.interval, 100);
  EXPECT_EQ(o.width, 220);
  EXPECT_EQ(o.height, 420);
  EXPECT_EQ(o.swatch, MakeColour(0, 127, 255));
}

}  // namespace
}  // namespace flinder
