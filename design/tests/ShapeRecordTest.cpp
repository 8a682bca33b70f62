#include <gtest/gtest.h>

#include <map>

#include "SampleDesigns.h"
#include "design/DecimalText.h"
#include "design/DesignFile.h"
#include "design/ShapeRecord.h"

namespace flinder {
namespace {

ShapeSettings SampleRecord() {
  ShapeSettings s;
  for (int i = 0; i < ParameterCount; ++i) s.SetSlider(i, 0.23456789f + 0.07f * i);
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    s.SelectSlot(slot);
    for (int c = 0; c < 3; ++c) s.SetSlider(RedSlider + c, 0.1234567f + 0.04f * (3 * slot + c));
  }
  s.Star = true;
  s.ViewTextShadow = true;
  s.ViewLine = true;
  s.TextFront = true;
  s.Transparent = true;
  s.PosX = 0.123456789012345;
  s.PosY = 1.0 / 3;
  s.TextX = -0.25;
  s.TextY = 7;
  s.Text = "Caf\u00E9 \u2122";
  s.Font = CaptionFont{"Liberation Serif", 9.75f, false, true, true, true};
  return s;
}

TEST(ShapeRecord, SaveThenLoadGivesBackEveryFieldAndAMissingDesignLoadsAsZero) {
  ShapeSettings saved = SampleRecord();
  IniDocument file;
  WriteShape(file, saved, "Star");
  ShapeSettings loaded;
  loaded.ShowText = true;  // overwritten by the load
  ReadShape(IniDocument(file.Bytes()), loaded, "Star");
  for (int i = 0; i < ColourIndex(ColourSlotCount, 0); ++i) {
    EXPECT_EQ(loaded.SliderPos(i), saved.SliderPos(i)) << i;
    EXPECT_EQ(loaded.SliderVal(i), saved.SliderVal(i)) << i;
  }
  for (int i = 0; i <= int(Switch::Transparent); ++i)
    EXPECT_EQ(loaded.SwitchOn(Switch(i)), saved.SwitchOn(Switch(i))) << "switch " << i;
  EXPECT_EQ(DoubleText(loaded.PosX), DoubleText(saved.PosX));
  EXPECT_EQ(DoubleText(loaded.PosY), DoubleText(saved.PosY));
  EXPECT_EQ(std::pair(loaded.TextX, loaded.TextY), std::pair(saved.TextX, saved.TextY));
  EXPECT_EQ(loaded.Text, saved.Text);
  EXPECT_EQ(loaded.Font, saved.Font);
  EXPECT_EQ(loaded.CurrentShape, "Star");
  EXPECT_EQ(file.Read("Shapes", "Star"), "1");
  // An empty caption keeps its key.
  saved.Text = "";
  WriteShape(file, saved, "Star");
  EXPECT_NE(file.Bytes().find("\nText=\n"), std::string::npos);
  // A missing section loads as position 0 everywhere but keeps the font face.
  ReadShape(file, loaded, "Ghost");
  for (int i = 0; i < ColourIndex(ColourSlotCount, 0); ++i) EXPECT_EQ(loaded.SliderPos(i), 0) << i;
  for (int i = 0; i <= int(Switch::Transparent); ++i)
    EXPECT_FALSE(loaded.SwitchOn(Switch(i))) << "switch " << i;
  EXPECT_EQ(loaded.PosX, 0);
  EXPECT_EQ(loaded.Text, "");
  EXPECT_EQ(loaded.Font, (CaptionFont{"Liberation Serif", 9.75f, false, false, false, false}));
}

// The window layer's view of the switches and the colour options.
struct SwitchMirror : SettingsObserver {
  std::map<Switch, bool> switches;
  int slot = -1;
  bool captionChanged = false;
  void SwitchChanged(Switch which, bool on) override { switches[which] = on; }
  void SelectedSlotChanged(int selected) override { slot = selected; }
  void CaptionChanged() override { captionChanged = true; }
};

TEST(ShapeRecord, LoadingEndsWithTheInnerSlotAndEverySwitchAsStored) {
  SwitchMirror mirror;
  ShapeSettings s(&mirror);
  s.ViewShapeShadow = true;
  s.Transparent = true;  // a file from before the key turns it off
  // Star is toggled on, which clears ViewLine; ViewLine is then set directly.
  ReadShape(IniDocument("[D]\nStar=True\nShowText=-1\nViewLine=True\nTextFront=true\n"), s, "D");
  const std::map<Switch, bool> stored = {{Switch::Star, true},
                                         {Switch::ShowText, true},
                                         {Switch::ViewShapeShadow, false},
                                         {Switch::ViewTextShadow, false},
                                         {Switch::ViewLine, true},
                                         {Switch::ViewLineShadow, false},
                                         {Switch::TextFront, false},
                                         {Switch::Transparent, false}};
  for (const auto& [which, on] : stored) EXPECT_EQ(s.SwitchOn(which), on) << int(which);
  EXPECT_EQ(mirror.switches, stored);
  EXPECT_EQ(s.SelectedSlot, Inner);
  EXPECT_EQ(mirror.slot, Inner);
  EXPECT_TRUE(mirror.captionChanged);
}

TEST(SampleDesigns, TheShippedFileGivesTheDesignValues) {
  DesignFile file(FLINDER_SAMPLE_DESIGN_FILE);
  ASSERT_EQ(file.ListShapes()->size(), SampleDesigns().size());
  for (const SampleDesign& design : SampleDesigns()) {
    ShapeSettings loaded;
    ASSERT_TRUE(file.LoadShape(loaded, design.Name));
    for (int i = 0; i < ParameterCount; ++i)
      EXPECT_EQ(loaded.SliderVal(i), design.Values[i]) << design.Name << " parameter " << i;
    for (int slot = 0; slot < ColourSlotCount; ++slot) {
      const Rgb& c = design.Colours[slot];
      EXPECT_EQ(loaded.PlainColour(slot), MakeColour(c.Red, c.Green, c.Blue)) << design.Name;
    }
    EXPECT_EQ(loaded.Text, design.Text) << design.Name;
  }
}

}  // namespace
}  // namespace flinder
