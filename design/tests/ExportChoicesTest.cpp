#include <gtest/gtest.h>

#include <tuple>

#include "design/ExportChoices.h"
#include "design/SaveTarget.h"

namespace flinder {
namespace {

TEST(ExportChoicesTest, TheExtensionChoosesTheFormatInAnyCase) {
  EXPECT_EQ(FormatOfFileName("/tmp/a.GIF"), ExportFormat::Gif);
  EXPECT_EQ(FormatOfFileName("spin.webp"), ExportFormat::Webp);
  EXPECT_EQ(FormatOfFileName("spin.Png"), ExportFormat::Apng);
  EXPECT_EQ(FormatOfFileName("spin.apng"), ExportFormat::Apng);
  EXPECT_EQ(FormatOfFileName("spin.Svg"), ExportFormat::Svg);
  EXPECT_EQ(FormatOfFileName("out.gif/spin"), std::nullopt);
  EXPECT_EQ(FormatOfFileName("spin.bmp"), std::nullopt);
  EXPECT_EQ(FormatNamed("bmp"), std::nullopt);
  EXPECT_EQ(FormatNamed(FormatName(ExportFormat::Apng)), ExportFormat::Apng);
}

TEST(ExportChoicesTest, LoopAndScaleChoicesReadAlikeAndBadKeysKeepTheUsualValues) {
  EXPECT_EQ(ParseLoop("FOREVER"), (LoopChoice{true, LoopChoice::UsualRepeats}));
  EXPECT_EQ(ParseLoop("65535")->Plays(), 65536);
  for (const char* bad : {"0", "65536", "-1", " 5", "5x", ""})
    EXPECT_EQ(ParseLoop(bad), std::nullopt) << bad;
  EXPECT_EQ(LoopFromKey("").GifLoopCount(), 999);
  EXPECT_EQ(LoopFromKey("many").Plays(), 1000);
  EXPECT_EQ(LoopFromKey("Forever").Plays(), 0);
  EXPECT_EQ(LoopFromKey(LoopKeyText(LoopChoice{false, 3})).Plays(), 4);
  EXPECT_EQ(ParseScale("3"), 3);
  EXPECT_EQ(ParseScale("4"), std::nullopt);
  EXPECT_EQ(ScaleFromKey("0"), 1);
  EXPECT_EQ(ScaleFromKey("2"), 2);
  EXPECT_EQ(MotionFromKey(MotionKeyText(MotionChoice::Smooth)), MotionChoice::Smooth);
  for (const char* bad : {"", "smoothly", "Smooth "}) EXPECT_EQ(MotionFromKey(bad), MotionChoice::Steps);
  // Web copies: the valid scales named, else 1x and 2x; the last one left stays.
  EXPECT_EQ(WebScalesFromKey("3,x,1,9").List(), (std::vector<int>{1, 3}));
  for (const char* bad : {"", "0", "x,4"}) EXPECT_EQ(WebScalesFromKey(bad), WebScales());
  WebScales one = WebScalesFromKey("2");
  one.Set(2, false);
  EXPECT_EQ(WebScalesKeyText(one), "2");
}

TEST(SaveTargetTest, TheFilterNamesTheFormatOnlyWhereTheNameDoesNot) {
  using enum ExportFormat;
  // Each case: the name chosen, the filter, the file name and format that result.
  const std::tuple<const char*, ExportFormat, const char*, ExportFormat> cases[] = {
      {"/out/spin", Webp, "/out/spin.webp", Webp},
      {"/out/spin.", Apng, "/out/spin.png", Apng},
      {"/out/spin.GIF", Webp, "/out/spin.GIF", Gif},
      {"/out/spin.apng", Gif, "/out/spin.apng", Apng},
      {"/out/spin", Svg, "/out/spin.svg", Svg},
      {"/out/spin.txt", Webp, "/out/spin.txt", Webp},
      {"/my.folder/spin", Gif, "/my.folder/spin.gif", Gif}};
  for (auto [chosen, filter, fileName, format] : cases) {
    const SaveTarget target = SaveTargetOf(chosen, filter);
    EXPECT_EQ(target.FileName, fileName) << chosen;
    EXPECT_EQ(target.Format, format) << chosen;
  }
}

}  // namespace
}  // namespace flinder
