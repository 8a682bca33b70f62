#include <gtest/gtest.h>

#include <vector>

#include "design/ShapeSettings.h"

namespace flinder {
namespace {

struct Event {
  std::string what;
  int index;
  std::string text;
  bool operator==(const Event&) const = default;
};

class RecordingObserver : public SettingsObserver {
 public:
  std::vector<Event> events;
  void ValueLabelChanged(int index, const std::string& text) override {
    events.push_back({"label", index, text});
  }
  void ThumbMoved(int index, float) override { events.push_back({"thumb", index, ""}); }
  void TimerIntervalChanged(int ms) override { events.push_back({"timer", ms, ""}); }
  void PreviewWidthChanged(int px) override { events.push_back({"width", px, ""}); }
  void PreviewHeightChanged(int px) override { events.push_back({"height", px, ""}); }
  void SwatchColourChanged(ColourValue c) override { events.push_back({"swatch", c, ""}); }
};

TEST(ShapeSettings, EndPositionsGiveTheEndsOfEveryRange) {
  ShapeSettings s;
  const float atZero[] = {3, 0, -5, 1, 1, 20, 20, 0.1f, -10, -10};
  const float atOne[] = {23, 100, 5, 6, 1000, 420, 420, 1.1f, 10, 10};
  for (int i = 0; i < ParameterCount; ++i) {
    s.SetSlider(i, 0);
    EXPECT_EQ(s.SliderVal(i), atZero[i]) << "parameter " << i;
    s.SetSlider(i, 1);
    EXPECT_EQ(s.SliderVal(i), atOne[i]) << "parameter " << i;
    EXPECT_EQ(s.SliderPos(i), 1.0f);
  }
  s.SetSlider(RedSlider, 0);
  EXPECT_EQ(s.SliderVal(10), 0);
  s.SetSlider(RedSlider, 1);
  EXPECT_EQ(s.SliderVal(10), 255);
}

TEST(ShapeSettings, PositionsOutsideTheTrackAreClamped) {
  ShapeSettings s;
  s.SetSlider(Radius, -0.5f);
  EXPECT_EQ(s.SliderPos(Radius), 0.0f);
  s.SetSlider(Radius, 7.0f);
  EXPECT_EQ(s.SliderPos(Radius), 1.0f);
  EXPECT_EQ(s.SliderVal(Radius), 100);
}

TEST(ShapeSettings, SpeedSkipsTheSmallestStepEitherWay) {
  ShapeSettings s;
  for (int step = 0; step <= 1000; ++step) {
    s.SetSlider(Speed, step / 1000.0f);
    float v = s.SliderVal(Speed);
    EXPECT_NE(v, 0.1f);
    EXPECT_NE(v, -0.1f);
  }
  s.SetSlider(Speed, 0.5f);
  EXPECT_EQ(s.SliderVal(Speed), 0.0f);
  s.SetSlider(Speed, 0.505f);
  EXPECT_EQ(s.SliderVal(Speed), 0.0f);
  s.SetSlider(Speed, 0.515f);  // raw step 0.1
  EXPECT_EQ(s.SliderVal(Speed), 0.2f);
  s.SetSlider(Speed, 0.495f);  // raw step -0.1
  EXPECT_EQ(s.SliderVal(Speed), -0.2f);
  s.SetSlider(Speed, 0.485f);
  EXPECT_EQ(s.SliderVal(Speed), -0.2f);
  s.SetSlider(Speed, 0.6f);
  EXPECT_EQ(s.SliderVal(Speed), static_cast<float>(1.0));
}

TEST(ShapeSettings, EveryColourComponentSurvivesThePositionRoundTrip) {
  ShapeSettings s;
  for (int c = 0; c <= 255; ++c) {
    s.SetSlider(GreenSlider, static_cast<float>(c / 255.0));
    ASSERT_EQ(s.SliderVal(11), c);
  }
}

TEST(ShapeSettings, ColourSlidersWriteOnlyTheSelectedSlot) {
  ShapeSettings s;
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    s.SelectedSlot = slot;
    for (int c = 0; c < 3; ++c) s.SetSlider(RedSlider + c, 0.5f);
  }
  s.SelectedSlot = Text;
  s.SetSlider(RedSlider, 1.0f);
  for (int i = 10; i <= 30; ++i) {
    float expected = i == ColourIndex(Text, 0) ? 1.0f : 0.5f;
    EXPECT_EQ(s.SliderPos(i), expected) << "entry " << i;
  }
  EXPECT_EQ(s.SliderVal(19), 255);
  EXPECT_EQ(s.PlainColour(Text), MakeColour(255, 127, 127));
}

TEST(ShapeSettings, ANewRecordIsAllZero) {
  ShapeSettings s;
  for (int i = 0; i < SliderCount; ++i) {
    EXPECT_EQ(s.SliderPos(i), 0);
    EXPECT_EQ(s.SliderVal(i), 0);
  }
  EXPECT_EQ(s.Text, "Flinder");
  EXPECT_EQ(s.Font.FontName, "Arial");
  EXPECT_TRUE(s.Font.FontBold);
}

TEST(ShapeSettings, ObserverSeesLabelThenEffectThenThumb) {
  RecordingObserver o;
  ShapeSettings s(&o);
  s.SetSlider(Delay, 0.1f);
  s.SetSlider(Width, 0.5f);
  s.SetSlider(Height, 1.0f);
  s.SetSlider(Speed, 0.497f);
  s.SelectedSlot = Outer;
  s.SetSlider(BlueSlider, 1.0f);
  std::vector<Event> expected = {
      {"label", Delay, "100"},
      {"timer", 100, ""},
      {"thumb", Delay, ""},
      {"label", Width, "220"},
      {"width", 220, ""},
      {"thumb", Width, ""},
      {"label", Height, "420"},
      {"height", 420, ""},
      {"thumb", Height, ""},
      {"label", Speed, "-0.2"},
      {"thumb", Speed, ""},
      {"label", BlueSlider, "255"},
      {"swatch", MakeColour(0, 0, 255), ""},
      {"thumb", BlueSlider, ""},
  };
  EXPECT_EQ(o.events, expected);
}

TEST(ShapeSettings, PositionColourRoundsHalvesToEven) {
  ShapeSettings s;
  s.SelectedSlot = Back;
  s.SetSlider(RedSlider, 0.5f);          // 127.5 -> 128
  s.SetSlider(GreenSlider, 1.5f / 255);  // about 1.5 -> 2
  s.SetSlider(BlueSlider, 1.0f);
  EXPECT_EQ(s.PositionColour(Back), MakeColour(128, 2, 255));
  EXPECT_EQ(s.PlainColour(Back), MakeColour(127, 1, 255));
}

}  // namespace
}  // namespace flinder
