#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "GifTestFiles.h"
#include "export/AnimatedGifExport.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

// A small polygon design; `speedPosition` picks the turn per frame.
ShapeSettings Polygon(float sidesPosition, float speedPosition, float delayPosition = 0.1f) {
  ShapeSettings s;
  s.SetSlider(Sides, sidesPosition);
  s.SetSlider(Radius, 0.3f);
  s.SetSlider(Speed, speedPosition);
  s.SetSlider(Detail, 0);
  s.SetSlider(Delay, delayPosition);
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    s.SelectedSlot = slot;
    s.SetSlider(RedSlider, slot / 7.0f);
    s.SetSlider(GreenSlider, 0.5f);
    s.SetSlider(BlueSlider, 1 - slot / 7.0f);
  }
  s.PosX = s.PosY = 0.5;
  return s;
}

// Lets a test act at the moment the frames are converted and the merge is next.
class TestHost : public HeadlessExportHost {
 public:
  std::function<void()> BeforeMerge;
  int FramesDrawn = 0;
  void ProcessPendingEvents() override {
    if (BeforeMerge) std::exchange(BeforeMerge, nullptr)();
  }
  void FrameDrawn(int, const Raster&) override { ++FramesDrawn; }
};

struct Fixture {
  ScratchFolder folder{"export"};
  ShapeSettings settings;
  DrawingSurface surface{32, 24};
  FrameRenderer renderer;
  TestHost host;
  AnimatedGifExport exporter{host, renderer, surface, settings, folder.Folder().string()};

  explicit Fixture(ShapeSettings design) : settings(std::move(design)) {
    exporter.OutputFileName = folder.File("out.gif");
  }
  int TemporaryFiles() const {
    int n = 0;
    for (auto& entry : fs::directory_iterator(folder.Folder()))
      n += entry.path().filename().string().starts_with("temp");
    return n;
  }
};

TEST(AnimatedGifExport, OneCycleBecomesTheFramesBeforeTheClosingOne) {
  // Ten sides (period 36) at 0.8 a step: twelve frames, the last at angle 0.
  Fixture f(Polygon(0.355f, 0.585f));
  ASSERT_EQ(f.settings.SliderVal(Sides), 10);
  ASSERT_FLOAT_EQ(f.settings.SliderVal(Speed), 0.8f);
  int filesBeforeMerge = 0;
  f.host.BeforeMerge = [&] { filesBeforeMerge = f.TemporaryFiles(); };

  ExportSummary summary = f.exporter.ExportAnimatedGif();

  ASSERT_TRUE(summary.Ok) << (f.host.Messages.empty() ? "" : f.host.Messages[0]);
  EXPECT_EQ(f.exporter.ExportFrameCount, 12);
  EXPECT_EQ(filesBeforeMerge, 24);  // temp1..12 .bmp and .gif
  EXPECT_EQ(f.TemporaryFiles(), 0);
  EXPECT_EQ(summary.FramesInGif, 11);
  auto gif = DecodeGif(ReadWholeFile(f.folder.File("out.gif")));
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->Images.size(), 11u);
  EXPECT_EQ(gif->Delays[0], 10);  // 100 ms
  EXPECT_EQ(f.host.MainCaption, " GIF Flendar - out.gif");
  EXPECT_TRUE(f.host.PreviewTimerEnabled);
  EXPECT_FALSE(f.host.ProgressShown);
  EXPECT_TRUE(f.host.Messages.empty());
}

TEST(AnimatedGifExport, DelayIsTenthsOfTheMillisecondsHalvesToEven) {
  EXPECT_EQ(GifDelay(5), 0);
  EXPECT_EQ(GifDelay(15), 2);
  EXPECT_EQ(GifDelay(25), 2);
  EXPECT_EQ(GifDelay(100), 10);
  EXPECT_EQ(GifDelay(1000), 100);
}

TEST(AnimatedGifExport, StillAndOneFrameCyclesGiveValidGifs) {
  Fixture still(Polygon(0.1f, 0.5f));  // Speed 0 never completes a cycle
  ASSERT_TRUE(still.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(still.exporter.ExportFrameCount, 1);
  auto stillGif = DecodeGif(ReadWholeFile(still.folder.File("out.gif")));
  ASSERT_TRUE(stillGif);
  EXPECT_EQ(stillGif->Images.size(), 1u);

  Fixture once(Polygon(1.0f, 1.0f));  // 23 sides turn 20 degrees: past the period at once
  ASSERT_TRUE(once.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(once.exporter.ExportFrameCount, 1);
  auto onceGif = DecodeGif(ReadWholeFile(once.folder.File("out.gif")));
  ASSERT_TRUE(onceGif);
  EXPECT_EQ(onceGif->Images.size(), 1u);
  EXPECT_EQ(once.TemporaryFiles(), 0);
}

TEST(AnimatedGifExport, OldOutputIsReplacedButSurvivesAFailedMerge) {
  Fixture f(Polygon(0.355f, 0.585f));
  WriteWholeFile(f.folder.File("out.gif"), "old picture");
  ASSERT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  std::string first = ReadWholeFile(f.folder.File("out.gif"));
  EXPECT_TRUE(DecodeGif(first));

  WriteWholeFile(f.folder.File("out.gif"), "old picture");
  f.host.BeforeMerge = [&] { fs::remove(f.folder.File("temp3.gif")); };
  EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(ReadWholeFile(f.folder.File("out.gif")), "old picture");
  EXPECT_EQ(f.host.Messages, std::vector<std::string>{"An error has occured reading the files"});
  EXPECT_EQ(f.TemporaryFiles(), 0);
  EXPECT_TRUE(f.host.PreviewTimerEnabled);
  EXPECT_FALSE(f.host.ProgressShown);
}

TEST(AnimatedGifExport, UnwritablePlacesEndWithOneMessageAndNoLeftovers) {
  Fixture output(Polygon(0.355f, 0.585f));
  output.exporter.OutputFileName = output.folder.File("missing/out.gif");
  EXPECT_FALSE(output.exporter.ExportAnimatedGif().Ok);
  ASSERT_EQ(output.host.Messages.size(), 1u);
  EXPECT_NE(output.host.Messages[0].find("missing/out.gif"), std::string::npos);
  EXPECT_EQ(output.TemporaryFiles(), 0);
  EXPECT_TRUE(output.host.PreviewTimerEnabled);

  ScratchFolder elsewhere("export-out");
  ShapeSettings design = Polygon(0.355f, 0.585f);
  DrawingSurface surface(16, 16);
  FrameRenderer renderer;
  HeadlessExportHost host;
  AnimatedGifExport exporter(host, renderer, surface, design, elsewhere.File("no-such-folder"));
  exporter.OutputFileName = elsewhere.File("out.gif");
  EXPECT_FALSE(exporter.ExportAnimatedGif().Ok);
  ASSERT_EQ(host.Messages.size(), 1u);
  EXPECT_NE(host.Messages[0].find("temp1.bmp"), std::string::npos);
  EXPECT_FALSE(fs::exists(elsewhere.File("out.gif")));
  EXPECT_FALSE(host.ProgressShown);
}

TEST(AnimatedGifExport, DialogIsAskedOnlyWhenNeededAndCancelChangesNothing) {
  Fixture f(Polygon(0.355f, 0.585f));
  f.exporter.OutputFileName.clear();
  EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);  // cancelled
  EXPECT_TRUE(f.exporter.OutputFileName.empty());
  EXPECT_EQ(f.host.FramesDrawn, 0);
  EXPECT_TRUE(f.host.Messages.empty());

  f.host.DialogAnswer = f.folder.File("chosen.gif");
  EXPECT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_TRUE(fs::exists(f.folder.File("chosen.gif")));
  f.host.DialogAnswer.reset();  // a known name is used again without asking
  EXPECT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  f.exporter.AskFileName = true;
  EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(f.exporter.OutputFileName, f.folder.File("chosen.gif"));
}

TEST(AnimatedGifExport, EveryExportOfADesignDrawsTheSameFrames) {
  Fixture f(Polygon(0.355f, 0.585f));
  ASSERT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  std::string first = ReadWholeFile(f.folder.File("out.gif"));
  f.renderer.DrawFrame(f.surface, f.settings);  // the preview goes on meanwhile
  ASSERT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(ReadWholeFile(f.folder.File("out.gif")), first);
}

}  // namespace
}  // namespace flinder
