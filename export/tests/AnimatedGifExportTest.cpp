#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "GifTestFiles.h"
#include "export/AnimatedGifExport.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

// One export with its own folder, window stand-in and design; it keeps the frames drawn and
// lets a test act when the merge is next.
struct Fixture : HeadlessExportHost {
  ScratchFolder folder{"export"};
  std::string out = folder.File("out.gif");
  ShapeSettings settings;
  DrawingSurface surface{32, 24};
  FrameRenderer renderer;
  AnimatedGifExport exporter;
  std::function<void()> BeforeMerge;
  std::vector<Raster> Frames;

  // A small polygon design; `speed` picks the turn per frame.
  explicit Fixture(float sides = 0.355f, float speed = 0.585f, const char* temporary = nullptr)
      : exporter(*this, renderer, surface, settings,
                 temporary ? folder.File(temporary) : folder.Folder.string()) {
    const std::pair<int, float> sliders[] = {
        {Sides, sides}, {Radius, 0.3f}, {Speed, speed}, {Detail, 0}, {Delay, 0.1f}};
    for (auto [slider, position] : sliders) settings.SetSlider(slider, position);
    for (int slot = 0; slot < ColourSlotCount; ++slot) {
      settings.SelectedSlot = slot;
      for (int c = 0; c < 3; ++c) settings.SetSlider(RedSlider + c, (slot + 2 * c) % 7 / 6.0f);
    }
    settings.PosX = settings.PosY = 0.5;
    exporter.OutputFileName = out;
  }
  void ProcessPendingEvents() override {
    if (BeforeMerge) std::exchange(BeforeMerge, nullptr)();
  }
  void FrameDrawn(int, const Raster& frame) override { Frames.push_back(frame); }
  long TemporaryFiles() const {
    return std::ranges::count_if(fs::directory_iterator(folder.Folder), [](auto& entry) {
      return entry.path().filename().string().starts_with("temp");
    });
  }
};

TEST(AnimatedGifExport, ACycleBecomesTheFramesBeforeTheClosingOne) {
  // The delay is in hundredths of a second, halves to even.
  const std::pair<float, int> delays[] = {{5, 0}, {15, 2}, {25, 2}, {100, 10}, {1000, 100}};
  for (auto [ms, delay] : delays) EXPECT_EQ(GifDelay(ms), delay) << ms;
  // Ten sides (period 36) at 0.8 a step: twelve frames, the last at angle 0. Speed 0 never
  // completes a cycle; 23 sides turning 20 degrees pass the period at once.
  const std::tuple<float, float, int, int> cases[] = {
      {0.355f, 0.585f, 12, 11}, {0.1f, 0.5f, 1, 1}, {1.0f, 1.0f, 1, 1}};
  for (auto [sides, speed, frames, images] : cases) {
    Fixture f(sides, speed);
    long filesBeforeMerge = 0;
    f.BeforeMerge = [&] { filesBeforeMerge = f.TemporaryFiles(); };
    ExportSummary summary = f.exporter.ExportAnimatedGif();
    ASSERT_TRUE(summary.Ok) << testing::PrintToString(f.Messages);
    EXPECT_EQ(f.exporter.ExportFrameCount, frames);
    EXPECT_EQ(filesBeforeMerge, 2 * frames);  // tempN.bmp and tempN.gif
    EXPECT_EQ(f.TemporaryFiles(), 0);
    EXPECT_EQ(summary.FramesInGif, images);
    std::string file = ReadWholeFile(f.out);
    EXPECT_EQ(file.substr(file.find(Bytes({0x21, 0xF9, 4})) + 4, 2), Bytes({10, 0}));  // 100 ms
    auto gif = DecodeGif(file);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->Images.size(), std::size_t(images));
    for (int i = 0; i < images; ++i) EXPECT_EQ(gif->Images[i], f.Frames[i]) << i;
    EXPECT_EQ(f.MainCaption, " GIF Flendar - out.gif");
    EXPECT_TRUE(f.PreviewTimerEnabled);
    EXPECT_FALSE(f.ProgressShown);
    EXPECT_TRUE(f.Messages.empty());
  }
}

TEST(AnimatedGifExport, AFailedExportShowsOneMessageAndLeavesNothingBehind) {
  // Each case: another temporary folder or none, the output file and what the message names.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {nullptr, "out.gif", "An error has occured reading the files"},
      {nullptr, "missing/out.gif", "missing/out.gif"},
      {"no-such-folder", "out.gif", "temp1.bmp"}};
  for (auto [temporary, output, message] : cases) {
    Fixture f(0.355f, 0.585f, temporary);
    f.exporter.OutputFileName = f.folder.File(output);
    WriteWholeFile(f.out, "old picture");
    // A frame file that disappears before the merge spoils it.
    if (output == std::string("out.gif"))
      f.BeforeMerge = [&] { fs::remove(f.folder.File("temp3.gif")); };
    EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);
    ASSERT_EQ(f.Messages.size(), 1u) << message;
    EXPECT_NE(f.Messages[0].find(message), std::string::npos) << f.Messages[0];
    EXPECT_EQ(ReadWholeFile(f.out), "old picture");
    EXPECT_EQ(f.TemporaryFiles(), 0);
    EXPECT_TRUE(f.PreviewTimerEnabled);
    EXPECT_FALSE(f.ProgressShown);
  }
}

TEST(AnimatedGifExport, DialogIsAskedOnlyWhenNeededAndExportsRepeatExactly) {
  Fixture f;
  f.exporter.OutputFileName.clear();
  EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);  // cancelled
  EXPECT_TRUE(f.exporter.OutputFileName.empty());
  EXPECT_TRUE(f.Frames.empty());
  EXPECT_TRUE(f.Messages.empty());

  const std::string chosen = f.folder.File("chosen.gif");
  f.DialogAnswer = chosen;
  EXPECT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  std::string first = ReadWholeFile(chosen);
  // A known name is used again without asking, and the old file is replaced by the same
  // frames, though the preview went on meanwhile.
  f.DialogAnswer.reset();
  WriteWholeFile(chosen, "old picture");
  f.renderer.DrawFrame(f.surface, f.settings);
  EXPECT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(ReadWholeFile(chosen), first);
  f.exporter.AskFileName = true;
  EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(f.exporter.OutputFileName, chosen);
}

}  // namespace
}  // namespace flinder
