#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <thread>

#include "GifTestFiles.h"
#include "InjectedFaults.h"
#include "export/AnimatedGifExport.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

// One export with its own folder, window stand-in and design. It keeps the frames drawn and
// what the window showed, lets a test act on each frame, and lets it act when the merge is next.
struct Fixture : HeadlessExportHost {
  ScratchFolder folder{"export"};
  std::string out = folder.File("out.gif");
  ShapeSettings settings;
  DrawingSurface surface{32, 24};
  FrameRenderer renderer;
  AnimatedGifExport exporter;
  std::function<void()> BeforeMerge;
  std::function<ExportResult(int)> OnFrame;
  std::vector<Raster> Frames;
  int Dialogs = 0;
  bool SaveMenu = false, Topmost = false;
  bool DrawnInView = false;  // a frame drawn with the preview running or no progress shown

  // A small polygon design; `speed` picks the turn per frame.
  explicit Fixture(float sides = 0.355f, float speed = 0.585f)
      : exporter(*this, renderer, surface, settings) {
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
  std::optional<std::string> AskSaveFileName(const std::string& suggested) override {
    ++Dialogs;
    EXPECT_EQ(suggested, "Untitled.gif");
    return HeadlessExportHost::AskSaveFileName(suggested);
  }
  void EnableSaveMenu() override { SaveMenu = true; }
  void RestoreTopmost() override { Topmost = true; }
  // The caption names the file just before it is written.
  void SetMainCaption(const std::string& caption) override {
    HeadlessExportHost::SetMainCaption(caption);
    if (BeforeMerge) std::exchange(BeforeMerge, nullptr)();
  }
  ExportResult FrameDrawn(int number, const Raster& frame) override {
    DrawnInView |= PreviewTimerEnabled || !ProgressShown;
    Frames.push_back(frame);
    return OnFrame ? OnFrame(number) : ExportResult::Success();
  }
  // Whatever its outcome, an export draws behind the progress window with the preview
  // stopped, and ends with both as they were and the window's topmost state back.
  void ExpectEndedAsItBegan() const {
    EXPECT_FALSE(DrawnInView);
    EXPECT_TRUE(PreviewTimerEnabled);
    EXPECT_FALSE(ProgressShown);
    EXPECT_TRUE(Topmost);
  }
  // Nothing but the output goes through the disk; while it is written, it is
  // a hidden temporary file beside the old one.
  long OtherFiles(bool whileWriting = false) const {
    return std::ranges::count_if(fs::directory_iterator(folder.Folder), [&](auto& entry) {
      return entry.path() != out &&
             !(whileWriting && entry.path().filename().string().starts_with("."));
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
    long filesBeforeMerge = -1;
    f.BeforeMerge = [&] { filesBeforeMerge = f.OtherFiles(true); };
    ExportSummary summary = f.exporter.ExportAnimatedGif();
    ASSERT_TRUE(summary.Ok) << testing::PrintToString(f.Messages);
    EXPECT_EQ(f.exporter.ExportFrameCount, frames);
    EXPECT_EQ(filesBeforeMerge, 0);
    EXPECT_EQ(f.OtherFiles(), 0);
    EXPECT_EQ(summary.FramesInGif, images);
    std::string file = ReadWholeFile(f.out);
    EXPECT_EQ(file.substr(6, 4), Bytes({32, 0, 24, 0}));  // the logical screen holds the frames
    EXPECT_EQ(file.substr(file.find(Bytes({0x21, 0xF9, 4})) + 4, 2), Bytes({10, 0}));  // 100 ms
    auto gif = ComposeGif(file);
    ASSERT_TRUE(gif);
    ASSERT_EQ(gif->size(), std::size_t(images));
    for (int i = 0; i < images; ++i) EXPECT_EQ((*gif)[i], f.Frames[i]) << i;
    EXPECT_EQ(f.MainCaption, " GIF Flendar - out.gif");
    f.ExpectEndedAsItBegan();
    EXPECT_TRUE(f.Messages.empty());
  }
}

TEST(AnimatedGifExport, AFailedExportShowsOneMessageAndLeavesNothingBehind) {
  auto hostFails = [](int number, const char* message) {
    return [number, message](Fixture& f) {
      f.OnFrame = [number, message](int drawn) {
        return drawn == number ? ExportResult::Failure(message) : ExportResult::Success();
      };
    };
  };
  // Each case: what spoils the export, how the message starts (% is the scratch folder) and
  // how many frames the host was given, in order, though workers may have drawn more.
  const std::tuple<std::function<void(Fixture&)>, std::string, int> cases[] = {
      {[](Fixture& f) { f.exporter.OutputFileName = f.folder.File("missing/out.gif"); },
       "Cannot write %/missing/out.gif: ", 12},
      // The host fails a frame, with its own message or without one.
      {hostFails(4, "Cannot write frame4.bmp: disk full"), "Cannot write frame4.bmp: disk full", 4},
      {hostFails(1, ""), "Cannot write %/out.gif: the export was stopped.", 1},
  };
  for (int workers : {1, 3}) {
    for (const auto& [spoil, start, frames] : cases) {
      Fixture f;
      f.exporter.Workers = workers;
      spoil(f);
      std::string message = start;
      for (auto mark = message.find('%'); mark != std::string::npos; mark = message.find('%'))
        message.replace(mark, 1, f.folder.Folder.string());
      WriteWholeFile(f.out, "old picture");
      EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);
      ASSERT_EQ(f.Messages.size(), 1u) << message;
      EXPECT_TRUE(f.Messages[0].starts_with(message)) << f.Messages[0];
      EXPECT_EQ(f.Frames.size(), std::size_t(frames)) << message;
      EXPECT_EQ(ReadWholeFile(f.out), "old picture");
      EXPECT_EQ(f.OtherFiles(), 0);
      f.ExpectEndedAsItBegan();
    }
  }
}

// Exports over an old output with `fail` armed just before: true when the export wrote
// `expected`, false when it failed with one message ending in `reason` and left the old output
// and nothing else. Either way the window and the preview's surface are as they were.
bool WritesOrFailsCleanly(Fixture& f, const std::string& expected, const std::string& reason,
                          const std::function<void()>& fail) {
  WriteWholeFile(f.out, "old picture");
  f.Messages.clear();
  f.Frames.clear();
  f.Topmost = false;
  fail();
  const bool written = f.exporter.Run().Ok;
  InjectedFaults::FailAllocation(0);
  f.OnFrame = nullptr;
  f.ExpectEndedAsItBegan();
  EXPECT_EQ(std::pair(f.surface.Width(), f.surface.Height()), std::pair(32, 24));
  EXPECT_FALSE(f.surface.KeepsCoverage());
  EXPECT_EQ(f.OtherFiles(), 0);
  EXPECT_TRUE(ReadWholeFile(f.out) == (written ? expected : "old picture"));
  EXPECT_EQ(f.Messages.size(), written ? 0u : 1u);
  const std::string message = f.Messages.empty() ? "" : f.Messages[0];
  EXPECT_TRUE(written || (message.starts_with("Cannot ") && message.ends_with(reason) &&
                          message.find(f.out) != std::string::npos))
      << message;
  return written;
}

// Every allocation of an export, and every start of a thread from any frame on, is made to
// fail in turn: in working out the poses, drawing, choosing the palette, converting and
// merging, encoding GIF, WebP or APNG frames and writing the file. Each failure ends the
// export with its message, the window as it was and no file but the old output.
TEST(AnimatedGifExport, AnyFailedAllocationOrThreadStartEndsTheExportWithItsMessage) {
  const std::tuple<std::string, bool, bool> kinds[] = {{"a.gif", false, false},
                                                       {"a.gif", true, false},
                                                       {"a.gif", false, true},
                                                       {"a.webp", false, true},
                                                       {"a.png", false, false}};
  for (auto [workers, scale] : {std::pair(1, 1), std::pair(3, 2)}) {
    for (const auto& [file, optimise, transparent] : kinds) {
      SCOPED_TRACE(file + (optimise ? " optimised" : "") + (transparent ? " transparent" : "") +
                   ", workers " + std::to_string(workers));
      Fixture f;
      f.out = f.exporter.OutputFileName = f.folder.File(file);
      f.exporter.Optimise = optimise;
      f.settings.Transparent = transparent;
      f.exporter.Workers = workers;
      f.exporter.Scale = scale;
      InjectedFaults::FailAllocation(0);
      ASSERT_TRUE(f.exporter.Run().Ok);
      const long allocations = InjectedFaults::Allocations();
      const int frames = f.exporter.ExportFrameCount;
      const std::string expected = ReadWholeFile(f.out);

      int failed = 0;
      for (long n = 1; n <= allocations; ++n)
        failed += !WritesOrFailsCleanly(f, expected, "std::bad_alloc",
                                        [n] { InjectedFaults::FailAllocation(n); });
      EXPECT_GT(failed, allocations / 2);

      failed = 0;
      for (int frame = 1; frame <= frames; ++frame) {
        std::optional<InjectedFaults::NoThreadStarts> noThreads;
        failed += !WritesOrFailsCleanly(f, expected, "Resource temporarily unavailable", [&] {
          f.OnFrame = [&](int number) {
            if (number == frame) noThreads.emplace();
            return ExportResult::Success();
          };
        });
      }
      EXPECT_GT(failed, 0);
    }
  }
}

// A FIFO takes the bytes as they come, in every format; the summary counts
// them as it counts a file's.
TEST(AnimatedGifExport, TheSummaryCountsTheBytesWrittenToAFifoAsToAFile) {
  for (const std::string name : {"plain.gif", "optimised.gif", "a.webp", "a.png"}) {
    Fixture f;
    f.exporter.Optimise = name == "optimised.gif";
    f.exporter.OutputFileName = f.folder.File(name);
    const ExportSummary toFile = f.exporter.ExportAnimatedGif();
    const std::string file = ReadWholeFile(f.exporter.OutputFileName);
    EXPECT_EQ(toFile.Bytes, file.size()) << name;

    f.exporter.OutputFileName = f.folder.File("fifo-" + name);
    ASSERT_EQ(::mkfifo(f.exporter.OutputFileName.c_str(), 0600), 0);
    std::string read;
    std::thread reader([&] { read = ReadWholeFile(f.exporter.OutputFileName); });
    const ExportSummary toFifo = f.exporter.ExportAnimatedGif();
    reader.join();
    EXPECT_TRUE(read == file) << name;
    EXPECT_EQ(toFifo.Bytes, file.size()) << name;
  }
}

TEST(AnimatedGifExport, DialogIsAskedOnlyWhenNeededAndExportsRepeatExactly) {
  Fixture f;
  f.exporter.OutputFileName.clear();
  EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);  // cancelled
  EXPECT_TRUE(f.exporter.OutputFileName.empty());
  EXPECT_TRUE(f.Frames.empty());
  EXPECT_TRUE(f.Messages.empty());
  EXPECT_EQ(f.Dialogs, 1);
  EXPECT_TRUE(f.SaveMenu);  // the first Save turns the menu item on

  const std::string chosen = f.folder.File("chosen.gif");
  f.DialogAnswer = chosen;
  EXPECT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(f.Dialogs, 2);
  f.ExpectEndedAsItBegan();
  std::string first = ReadWholeFile(chosen);
  // A known name is used again without asking, and the old file is replaced by the same
  // frames, though the preview went on meanwhile.
  f.DialogAnswer.reset();
  WriteWholeFile(chosen, "old picture");
  f.renderer.DrawFrame(f.surface, f.settings);
  EXPECT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(ReadWholeFile(chosen), first);
  EXPECT_EQ(f.Dialogs, 2);
  // Save As asks again; a cancelled dialog keeps asking, a chosen file is used from then on.
  f.exporter.AskFileName = true;
  f.SaveMenu = false;
  EXPECT_FALSE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_EQ(f.exporter.OutputFileName, chosen);
  EXPECT_EQ(f.Dialogs, 3);
  EXPECT_FALSE(f.SaveMenu);  // already on
  EXPECT_TRUE(f.exporter.AskFileName);
  f.DialogAnswer = chosen;
  EXPECT_TRUE(f.exporter.ExportAnimatedGif().Ok);
  EXPECT_FALSE(f.exporter.AskFileName);
}

}  // namespace
}  // namespace flinder
