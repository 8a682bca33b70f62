#include <gtest/gtest.h>

#include "design/DecimalText.h"
#include "design/ShapeRecord.h"

namespace flinder {
namespace {

ShapeSettings SampleRecord() {
  ShapeSettings s;
  for (int i = 0; i < ParameterCount; ++i) s.SetSlider(i, 0.23456789f + 0.07f * i);
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    s.SelectSlot(slot);
    s.SetSlider(RedSlider, (3 * slot) / 255.0f);
    s.SetSlider(GreenSlider, 1.0f / 3);
    s.SetSlider(BlueSlider, (250 - slot) / 255.0f);
  }
  s.SelectSlot(Dither);
  s.Star = true;
  s.ViewTextShadow = true;
  s.ViewLine = true;
  s.TextFront = true;
  s.PosX = 0.123456789012345;
  s.PosY = 1.0 / 3;
  s.TextX = -0.25;
  s.TextY = 7;
  s.Text = "Caf\u00E9 \u2122";
  s.Font = CaptionFont{"Liberation Serif", 9.75f, false, true, true, true};
  return s;
}

TEST(ShapeRecord, SaveThenLoadGivesBackEveryField) {
  ShapeSettings saved = SampleRecord();
  IniDocument file;
  WriteShape(file, saved, "Star");
  ShapeSettings loaded;
  loaded.ShowText = true;  // overwritten by the load
  ReadShape(IniDocument(file.Bytes()), loaded, "Star");

  for (int i = 0; i < 31; ++i) {
    EXPECT_EQ(loaded.SliderPos(i), saved.SliderPos(i)) << i;
    EXPECT_EQ(loaded.SliderVal(i), saved.SliderVal(i)) << i;
  }
  for (int i = 0; i < 7; ++i) {
    auto which = static_cast<Switch>(i);
    EXPECT_EQ(loaded.SwitchOn(which), saved.SwitchOn(which)) << i;
  }
  EXPECT_EQ(DoubleText(loaded.PosX), DoubleText(saved.PosX));
  EXPECT_EQ(DoubleText(loaded.PosY), DoubleText(saved.PosY));
  EXPECT_EQ(loaded.TextX, saved.TextX);
  EXPECT_EQ(loaded.TextY, saved.TextY);
  EXPECT_EQ(loaded.Text, saved.Text);
  EXPECT_EQ(loaded.Font, saved.Font);
  EXPECT_EQ(loaded.SelectedSlot, Inner);
  EXPECT_EQ(loaded.CurrentShape, "Star");
  EXPECT_EQ(file.Read("Shapes", "Star"), "1");
}

TEST(ShapeRecord, AMissingSectionLoadsAsPositionZeroKeepingTheFontFace) {
  IniDocument file("[Shapes]\nGhost=1\n");
  ShapeSettings s = SampleRecord();
  ReadShape(file, s, "Ghost");
  EXPECT_EQ(s.SliderVal(Sides), 3);
  EXPECT_EQ(s.SliderVal(Delay), 1);
  EXPECT_EQ(s.SliderVal(Width), 20);
  EXPECT_EQ(s.SliderPos(ColourIndex(Text, 1)), 0);
  for (int i = 0; i < 7; ++i) EXPECT_FALSE(s.SwitchOn(static_cast<Switch>(i))) << i;
  EXPECT_EQ(s.PosX, 0);
  EXPECT_EQ(s.Text, "");
  EXPECT_EQ(s.Font, (CaptionFont{"Liberation Serif", 9.75f, false, false, false, false}));
}

TEST(ShapeRecord, AnEmptyCaptionKeepsItsKey) {
  ShapeSettings s;
  s.Text = "";
  IniDocument file;
  WriteShape(file, s, "Blank");
  EXPECT_NE(file.Bytes().find("\nText=\n"), std::string::npos);
}

struct Recorder : SettingsObserver {
  std::vector<std::string> events;
  void SwitchChanged(Switch which, bool on) override {
    events.push_back("switch " + std::to_string(static_cast<int>(which)) + (on ? " on" : " off"));
  }
  void SelectedSlotChanged(int slot) override { events.push_back("slot " + std::to_string(slot)); }
  void CaptionChanged() override { events.push_back("caption"); }
};

TEST(ShapeRecord, LoadingSelectsTheSlotsDownwardsAndTogglesTheFirstFourSwitches) {
  IniDocument file("[D]\nStar=True\nShowText=-1\nViewLine=True\nTextFront=true\n");
  Recorder recorder;
  ShapeSettings s(&recorder);
  ReadShape(file, s, "D");
  // Star: set off, toggled on (which clears ViewLine); ShowText: off, on; the
  // shadows: on, off; then ViewLine, ViewLineShadow and TextFront set directly.
  std::vector<std::string> expected = {
      "slot 6",       "slot 5",      "slot 4",       "slot 3",       "slot 2",
      "slot 1",       "slot 0",      "switch 0 off", "switch 0 on",  "switch 4 off",
      "switch 1 off", "switch 1 on", "switch 2 on",  "switch 2 off", "switch 3 on",
      "switch 3 off", "switch 4 on", "switch 5 off", "switch 6 off", "caption"};
  EXPECT_EQ(recorder.events, expected);
  EXPECT_TRUE(s.ViewLine);
}

}  // namespace
}  // namespace flinder
