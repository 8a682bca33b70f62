#include <gtest/gtest.h>

#include <cmath>

#include "design/DesignEdit.h"
#include "design/ShapeSettings.h"
#include "design/SliderKeys.h"

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
  s.SetSlider(Radius, NAN);
  EXPECT_EQ(s.SliderPos(Radius), 0.0f);
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
  EXPECT_EQ(s.RowPosition(RedSlider), 1.0f);
  EXPECT_EQ(s.RowPosition(GreenSlider), 0.5f);
  for (int i = RedSlider; i < ColourIndex(ColourSlotCount, 0); ++i)
    EXPECT_EQ(s.SliderPos(i), i == ColourIndex(Text, 0) ? 1.0f : 0.5f) << "entry " << i;
  EXPECT_EQ(s.PlainColour(Text), MakeColour(255, 127, 127));
  // The renderer's colour rounds position x 255: 127.5 gives 128.
  EXPECT_EQ(s.PositionColour(Text), MakeColour(255, 128, 128));
  s.ApplyPickedColour(MakeColour(0, 0, 255));  // pure blue: the largest quotient of blue
  EXPECT_EQ(s.PlainColour(Text), MakeColour(0, 0, 255));
  s.SelectedSlot = ColourSlotCount;  // a slot past the last reads as the last
  EXPECT_EQ(s.RowPosition(RedSlider), s.SliderPos(ColourIndex(Dither, 0)));
  s.SetSlider(RedSlider, 0.25f);
  EXPECT_EQ(s.SliderPos(ColourIndex(Dither, 0)), 0.25f);
  s.SelectedSlot = Text;
  // An undo step back to another selected slot shows that slot's colour.
  const DesignState onText = StateOf(s);
  DesignState onInner = onText;
  onInner.SelectedSlot = Inner;
  ChangeDesign(s, onText, onInner);
  EXPECT_EQ(s.SelectedSlot, Inner);
  EXPECT_EQ(s.SliderPos(RedSlider), 0.5f);
}

// Every row's values one by one each way, Speed's ±0.1 left out, each
// value always at the same position.
TEST(SliderKeys, StepsVisitEveryValueOnceAndBackAgainOnTheSamePositions) {
  const int values[] = {21, 101, 99, 6, 1000, 401, 401, 101, 21, 21, 256, 256, 256};
  for (int row = 0; row <= BlueSlider; ++row) {
    std::vector<float> up{0}, down{1};
    while (up.back() < 1) up.push_back(KeyedSliderPosition(row, up.back(), SliderKey::StepUp));
    while (down.back() > 0)
      down.push_back(KeyedSliderPosition(row, down.back(), SliderKey::StepDown));
    EXPECT_EQ(up.size(), values[row]) << "row " << row;
    // Each step lands where its value starts, the one position a value keeps.
    for (size_t i = 1; i < up.size(); ++i) {
      EXPECT_GT(SliderValue(row, up[i]), SliderValue(row, up[i - 1])) << "row " << row;
      EXPECT_LT(SliderValue(row, std::nextafter(up[i], 0.0f)), SliderValue(row, up[i]))
          << "row " << row << " at " << up[i];
    }
    EXPECT_EQ(std::vector(down.rbegin(), down.rend()), up) << "row " << row;
  }
}

}  // namespace
}  // namespace flinder
