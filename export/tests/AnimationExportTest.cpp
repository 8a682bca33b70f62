#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <regex>
#include <set>
#include <span>
#include <thread>
#include <tuple>

#include "AnimationReaders.h"
#include "GifTestFiles.h"
#include "InjectedFaults.h"
#include "SampleDesigns.h"
#include "export/AnimationExport.h"
#include "render/ShapeOutline.h"

// The sanitizers' own memory is no measure of the export's.
#if defined(__SANITIZE_ADDRESS__)
#define MEMORY_UNMEASURED
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MEMORY_UNMEASURED
#endif
#endif

namespace flinder {
namespace {

// One way of writing a file, and how often it is asked to play.
struct Kind {
  std::string Name;
  ExportFormat Format;
  bool Optimise, Transparent;
  int Scale;
  LoopChoice Loop;
};

// The first five drive every encoder an export has: the GIF merger, the GIF
// encoder that writes changes (optimised, or clearing vanishing pixels),
// WebP and APNG; the rest draw larger or opaque.
const Kind Kinds[] = {{"GifPlain", ExportFormat::Gif, false, false, 1, {false, 4}},
                      {"GifOptimised", ExportFormat::Gif, true, false, 1, {true, 999}},
                      {"GifTransparent", ExportFormat::Gif, false, true, 1, {false, 65535}},
                      {"WebpTransparent", ExportFormat::Webp, false, true, 1, {true, 999}},
                      {"Apng", ExportFormat::Apng, false, false, 1, {true, 999}},
                      {"GifOptimisedTransparentScale2", ExportFormat::Gif, true, true, 2, {}},
                      {"Webp", ExportFormat::Webp, false, false, 1, {false, 4}},
                      {"ApngTransparentScale2", ExportFormat::Apng, false, true, 2, {false, 4}}};
const std::span<const Kind> EveryEncoder = std::span(Kinds).first(5);

// Exports a design as the window does, into a scratch folder, keeping every
// frame the host is shown; a test may act on each frame drawn and written.
struct Exporter : HeadlessExportHost {
  ScratchFolder Folder{"export"};
  ShapeSettings Settings;
  ExportRequest Request;
  std::vector<Raster> Drawn;
  bool KeepFrames = true;
  int Converted = 0;
  std::function<Result<>(int number)> OnFrame, OnConverted;  // the latter's outcome unused
  std::stop_source Stop;
  long FailAllocation = 0;  // InjectedFaults::FailAllocation for the run
  long Allocations = 0;     // made by the last run

  Exporter(const Kind& kind, ShapeSettings settings) : Settings(std::move(settings)) {
    Settings.Transparent = kind.Transparent;
    Request = {.OutputFileName = Folder.File("out"),
               .Format = kind.Format,
               .Optimise = kind.Optimise,
               .Loop = kind.Loop,
               .Scale = kind.Scale,
               .Stop = Stop.get_token()};
  }
  Result<ExportSummary> Run() {
    Drawn.clear();
    Converted = 0;
    const auto size = std::pair(static_cast<int>(Settings.SliderVal(Width)),
                                static_cast<int>(Settings.SliderVal(Height)));
    DrawingSurface surface(size.first, size.second);
    FrameRenderer renderer;
    AnimationExport exporter(*this, renderer, surface, Settings);
    InjectedFaults::FailAllocation(FailAllocation);
    Result<ExportSummary> result = exporter.Run(Request);
    Allocations = InjectedFaults::Allocations();
    InjectedFaults::FailAllocation(0);
    // Whatever the outcome, the preview's surface is as it was.
    EXPECT_EQ(std::pair(surface.Width(), surface.Height()), size);
    return result;
  }
  std::string File() const { return ReadWholeFile(Request.OutputFileName); }
  // What the folder holds, hidden temporary files included.
  long Files() const {
    return std::ranges::distance(std::filesystem::directory_iterator(Folder.Folder));
  }
  Result<> FrameDrawn(int number, const Raster& frame) override {
    if (KeepFrames) Drawn.push_back(frame);
    return OnFrame ? OnFrame(number) : Result<>();
  }
  void FramesConverted(int done, int) override {
    if (OnConverted) (void)OnConverted(done);
    Converted = done;
  }
};

// A sample design made small, so that an export takes little time: 32 x 24,
// by default twelve frames (ten sides turning 3.2 degrees a frame).
ShapeSettings SmallDesign(int sides = 10, float speed = 0.8f) {
  SampleDesign design = SampleDesigns()[0];
  design.Values = {static_cast<float>(sides), 10, speed, 1, 100, 32, 24, 0.5f, 1, 1};
  design.Star = false;
  return SettingsOf(design);
}

// A host's answer to each frame that does `act` when frame `number` is drawn.
std::function<Result<>(int)> At(int number, std::function<void()> act) {
  return [=](int n) {
    if (n == number) act();
    return Result<>();
  };
}

// A picture as straight RGBA: clear where the background (or for a GIF's
// picture the page) shows fully, translucent where it shows in part.
RgbaRaster Rgba(const Raster& picture) {
  RgbaRaster rgba(picture.Width, picture.Height);
  for (std::size_t p = 0; p < picture.Pixels.size(); ++p) {
    const ColourValue pixel = picture.Pixels[p];
    const int alpha = 255 - BackgroundShowing(pixel);
    if (alpha > 0)
      std::ranges::copy(std::array{RedOf(pixel), GreenOf(pixel), BlueOf(pixel), alpha},
                        &rgba.Bytes[4 * p]);
  }
  return rgba;
}

// How `shown` differs from `expected`: the pixels of another alpha, or more
// than `tolerance` off in a channel where they show; and the mean squared
// difference of a pixel's channels.
std::pair<int, double> Difference(const RgbaRaster& expected, const RgbaRaster& shown,
                                  int tolerance) {
  if (shown.Bytes.size() != expected.Bytes.size()) return {-1, 0};
  int wrong = 0;
  double squares = 0;
  for (std::size_t p = 0; p < expected.Bytes.size(); p += 4) {
    bool off = expected.Bytes[p + 3] != shown.Bytes[p + 3];
    for (std::size_t c = p; c < p + 3 && expected.Bytes[p + 3] > 0; ++c) {
      const int d = std::abs(expected.Bytes[c] - shown.Bytes[c]);
      off |= d > tolerance;
      squares += d * d;
    }
    wrong += off;
  }
  return {wrong, squares * 4 / static_cast<double>(expected.Bytes.size())};
}

void PrintTo(const Kind& kind, std::ostream* out) {
  *out << kind.Name;
}

struct RoundTrip : testing::TestWithParam<Kind> {};

// Every sample design, decoded by a reader of its own, shows the frames as
// drawn, at the design's delay and as often as asked. A GIF's colours are exact
// when the design has few enough for one palette, and close otherwise.
TEST_P(RoundTrip, EverySampleDesignShowsTheFramesDrawnAtItsDelayAndLoop) {
  const Kind& kind = GetParam();
  const int plays = kind.Loop.Forever ? 0 : kind.Loop.Repeats + 1;
  for (const SampleDesign& sample : SampleDesigns()) {
    SCOPED_TRACE(sample.Name);
    Exporter e(kind, SettingsOf(sample));
    const Result<ExportSummary> summary = e.Run();
    ASSERT_TRUE(summary) << summary.Message();
    const std::string file = e.File();
    const int frames = summary->FramesInFile, ms = static_cast<int>(sample.Values[Delay]);
    EXPECT_EQ(summary->Bytes, file.size());
    EXPECT_EQ(summary->Width, static_cast<int>(sample.Values[Width]) * kind.Scale);
    EXPECT_EQ(summary->Height, static_cast<int>(sample.Values[Height]) * kind.Scale);
    ASSERT_GT(frames, 2);
    const bool gif = kind.Format == ExportFormat::Gif;
    // A GIF's closing frame, which repeats the first pose, is drawn too.
    ASSERT_EQ(e.Drawn.size(), frames + (gif ? 1u : 0u));
    std::vector<RgbaRaster> shown;
    int tolerance = 0;
    if (gif) {
      std::set<ColourValue> colours;
      for (const Raster& frame : e.Drawn)
        for (ColourValue pixel : frame.Pixels)
          if (!IsBackground(pixel)) colours.insert(pixel);
      tolerance = colours.size() <= (kind.Transparent ? 255u : 256u) ? 0 : 24;
      // Two plays: pixels cleared for the next frame show the page as the animation wraps round.
      for (const Raster& picture : ComposeGif(file, 2).value_or(std::vector<Raster>{}))
        shown.push_back(Rgba(picture));
      EXPECT_EQ(LayoutOfGif(file)->Delays, std::vector<int>(frames, ms / 10));
      const int repeats = std::max(plays - 1, 0);  // in the NETSCAPE2.0 block
      EXPECT_NE(file.find("NETSCAPE2.0\x03\x01" + Bytes({repeats & 0xFF, repeats >> 8})),
                file.npos);
    } else if (kind.Format == ExportFormat::Webp) {
      const DecodedWebp webp = DecodeWebp(file);
      shown = webp.Shown;
      EXPECT_EQ(webp.Loops, plays);
      ASSERT_EQ(webp.EndTimes.size(), static_cast<std::size_t>(frames));
      for (int i = 0; i < frames; ++i) EXPECT_EQ(webp.EndTimes[i], (i + 1) * ms);
    } else {
      const std::optional<DecodedApng> apng = DecodeApng(file);
      ASSERT_TRUE(apng);
      shown = apng->Shown;
      EXPECT_EQ(apng->Plays, plays);
      for (const ApngFrameControl& control : apng->Controls)
        EXPECT_EQ(control.DelayNumerator * 1000, ms * control.DelayDenominator);
    }
    ASSERT_EQ(shown.size(), (gif ? 2u : 1u) * frames);
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const auto [wrong, meanSquare] = Difference(Rgba(e.Drawn[i % frames]), shown[i], tolerance);
      EXPECT_EQ(wrong, 0) << "picture " << i;
      EXPECT_LT(meanSquare, 1) << "picture " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, RoundTrip, testing::ValuesIn(Kinds),
                         [](const auto& info) { return info.param.Name; });

// Frames drawn on one worker, or on four that finish out of order and draw
// again every frame but the first (none kept), make the same bytes, the
// second time into a FIFO, which takes them as they come. An optimised GIF,
// which shows the same (RoundTrip), takes fewer bytes than a plain one.
TEST(AnimationExport, FourWorkersWriteIntoAFifoTheBytesOneWritesIntoAFile) {
  for (const SampleDesign& sample : SampleDesigns()) {
    std::vector<std::size_t> sizes;
    for (const Kind& kind : EveryEncoder) {
      SCOPED_TRACE(sample.Name + " " + kind.Name);
      Exporter e(kind, SettingsOf(sample));
      e.Request.Workers = 1;
      ASSERT_TRUE(e.Run());
      const std::string one = e.File();
      const std::vector<Raster> drawn = e.Drawn;
      e.Request.Workers = 4;
      e.Request.KeptFrameBytes = 0;
      e.Request.OutputFileName = e.Folder.File("fifo");
      ASSERT_EQ(::mkfifo(e.Request.OutputFileName.c_str(), 0600), 0);
      std::string read;
      std::thread reader([&] { read = e.File(); });
      const Result<ExportSummary> four = e.Run();
      reader.join();
      ASSERT_TRUE(four);
      EXPECT_TRUE(read == one);
      EXPECT_TRUE(e.Drawn == drawn);
      sizes.push_back(one.size());
    }
    EXPECT_LT(sizes[1], sizes[0]) << sample.Name;
  }
}

// An SVG file holds the poses of the frames a GIF draws, without drawing
// them, and plays as often; xmllint, where installed, finds it well formed.
// A stop asked before leaves the old file.
TEST(AnimationExport, AnSvgFileTurnsThroughTheGifsFramesWithoutDrawingThem) {
  const bool xmllint = std::system("command -v xmllint >/dev/null") == 0;
  for (const SampleDesign& sample : SampleDesigns()) {
    SCOPED_TRACE(sample.Name);
    Exporter gif({"Gif", ExportFormat::Gif, false, false, 2, {}}, SettingsOf(sample));
    Exporter svg({"Svg", ExportFormat::Svg, false, false, 2, {false, 4}}, SettingsOf(sample));
    const Result<ExportSummary> drawn = gif.Run(), written = svg.Run();
    ASSERT_TRUE(drawn && written) << written.Message();
    EXPECT_EQ(std::tie(written->FramesInFile, written->Width, written->DelayMilliseconds),
              std::tie(drawn->FramesInFile, drawn->Width, drawn->DelayMilliseconds));
    const std::string file = svg.File();
    EXPECT_EQ(written->Bytes, file.size());
    EXPECT_TRUE(svg.Drawn.empty());
    EXPECT_EQ(svg.Converted, written->FramesInFile);
    std::size_t keyframes = 0;
    for (std::size_t at = 0; (at = file.find("deg}", at)) != file.npos; ++at)
      ++keyframes;
    EXPECT_EQ(keyframes, static_cast<std::size_t>(written->FramesInFile));
    EXPECT_NE(file.find("step-end 5 forwards}"), file.npos);
    // A smooth turn ends where the shape looks as at its start: one symmetry
    // period on, the way the steps go.
    svg.Request.Motion = MotionChoice::Smooth;
    ASSERT_TRUE(svg.Run());
    const std::string smooth = svg.File();
    std::smatch turn;
    ASSERT_TRUE(std::regex_search(smooth, turn, std::regex(R"(from\{--a\w+:(.+?)deg\}to\{--a\w+:(.+?)deg)")));
    const double period =
        SymmetryPeriod(VertexCount(int(sample.Values[Sides]), sample.Star), sample.Star);
    EXPECT_NEAR(std::stod(turn[2]) - std::stod(turn[1]), std::copysign(period, sample.Values[Speed]),
                1e-3);
    if (xmllint) {
      EXPECT_EQ(std::system(("xmllint --noout " + svg.Request.OutputFileName).c_str()), 0);
    }
  }
  Exporter stopped({"Svg", ExportFormat::Svg, false, false, 1, {}}, SmallDesign());
  WriteWholeFile(stopped.Request.OutputFileName, "old picture");
  stopped.Stop.request_stop();
  const Result<ExportSummary> result = stopped.Run();
  ASSERT_FALSE(result);
  EXPECT_EQ(result.Error().Errno, ECANCELED);
  EXPECT_EQ(stopped.File(), "old picture");
  EXPECT_EQ(stopped.Files(), 1);
}

// An export that ends early says why in one message, shows the host no
// frame after, and leaves the old output whole and no temporary file: an
// output folder that is missing (found with the first bytes written); a host that cannot take frame 4 (its
// message is the export's); a stop asked before the export or at frame 3
// drawn, where it stops at the next frame, or at frame 2 written, where
// only frames the workers have encoded still join the file.
TEST(AnimationExport, AnExportEndedEarlyLeavesTheOldFileAndNothingElse) {
  struct Case {
    std::string What;
    std::function<void(Exporter&)> End;
    std::optional<std::size_t> Drawn;  // frames the host is shown; none: any
    std::string Message;  // how it starts, % for "Cannot write <output>: "; empty: cancelled
  };
  const Case cases[] = {
      {"missing folder",
       [](Exporter& e) { e.Request.OutputFileName = e.Folder.File("missing/out"); }, {}, "%"},
      {"host fails",
       [](Exporter& e) {
         e.OnFrame = [](int n) {
           return n == 4 ? Failure{"Cannot write frame4.bmp: full"} : Result<>();
         };
       },
       4, "Cannot write frame4.bmp: full"},
      {"stop before", [](Exporter& e) { e.Stop.request_stop(); }, 0, ""},
      {"stop at frame 3", [](Exporter& e) { e.OnFrame = At(3, [&e] { e.Stop.request_stop(); }); },
       3, ""},
      {"stop at frame 2 written",
       [](Exporter& e) { e.OnConverted = At(2, [&e] { e.Stop.request_stop(); }); },
       {},
       ""}};
  for (const Kind& kind : EveryEncoder)
    for (int workers : {1, 3})
      for (const Case& c : cases) {
        SCOPED_TRACE(kind.Name + ", " + std::to_string(workers) + " workers, " + c.What);
        Exporter e(kind, SmallDesign(3, 0.2f));  // 150 frames
        e.Request.Workers = workers;
        WriteWholeFile(e.Request.OutputFileName, "old picture");
        c.End(e);
        const Result<ExportSummary> result = e.Run();
        ASSERT_FALSE(result);
        const std::string message =
            c.Message == "%" ? "Cannot write " + e.Request.OutputFileName + ": " : c.Message;
        EXPECT_TRUE(!result.Message().empty() && result.Message().starts_with(message))
            << result.Message();
        EXPECT_EQ(result.Error().Errno == ECANCELED, message.empty());
        EXPECT_EQ(e.Drawn.size(), c.Drawn.value_or(e.Drawn.size()));
        if (message.empty()) {
          EXPECT_LE(e.Converted, c.Drawn ? 0 : 2 + 4 * workers);
        }
        EXPECT_EQ(ReadWholeFile(e.Folder.File("out")), "old picture");
        EXPECT_EQ(e.Files(), 1);
      }
}

// Every allocation of an export, and every start of a thread from any frame
// on, is made to fail in turn: in working out the poses, drawing, choosing
// the palette, encoding and writing. Each ends the export with its message.
TEST(AnimationExport, AnyFailedAllocationOrThreadStartEndsTheExportWithItsMessage) {
  for (auto [workers, scale] : {std::pair(1, 1), std::pair(3, 2)})
    for (Kind kind : EveryEncoder) {
      SCOPED_TRACE(kind.Name + ", " + std::to_string(workers) + " workers");
      kind.Scale = scale;
      Exporter e(kind, SmallDesign());
      e.Request.Workers = workers;
      ASSERT_TRUE(e.Run());
      const long allocations = e.Allocations;
      const std::string expected = e.File();
      // True when the export over an old output wrote `expected`, false when
      // it failed with a message naming the output and ending in `reason`.
      // Either way nothing is left but the output, old or new.
      auto writesOrFailsCleanly = [&](const std::string& reason) {
        WriteWholeFile(e.Request.OutputFileName, "old picture");
        const Result<ExportSummary> result = e.Run();
        EXPECT_EQ(e.Files(), 1);
        EXPECT_TRUE(e.File() == (result ? expected : "old picture"));
        EXPECT_TRUE(result ||
                    (result.Message().starts_with("Cannot write " + e.Request.OutputFileName) &&
                     result.Message().ends_with(reason)))
            << result.Message();
        return result.Ok();
      };
      int failed = 0;
      for (e.FailAllocation = 1; e.FailAllocation <= allocations; ++e.FailAllocation)
        failed += !writesOrFailsCleanly("std::bad_alloc");
      EXPECT_GT(failed, allocations / 2);
      e.FailAllocation = 0;
      failed = 0;
      for (int frame = 1; frame <= 12; ++frame) {
        std::optional<InjectedFaults::NoThreadStarts> noThreads;
        e.OnFrame = At(frame, [&] { noThreads.emplace(); });
        failed += !writesOrFailsCleanly("Resource temporarily unavailable");
      }
      EXPECT_GT(failed, 0);
    }
}

// The frames an export holds at once are bounded in bytes, not by the
// cores: asked for a worker per core of a machine of 64 cores, an export of
// the largest sample design at scale 3 takes at most twice the memory it
// takes with two.
TEST(AnimationExport, APeakOfMemoryDoesNotGrowWithTheNumberOfCores) {
#ifdef MEMORY_UNMEASURED
  GTEST_SKIP() << "built with a sanitizer";
#endif
  const SampleDesign& largest = *std::ranges::max_element(SampleDesigns(), {}, [](auto& design) {
    return design.Values[Width] * design.Values[Height];
  });
  for (Kind kind : EveryEncoder) {
    kind.Scale = 3;
    Exporter e(kind, SettingsOf(largest));
    e.KeepFrames = false;
    // The most kilobytes resident in a child that exports; -1 when it failed.
    auto peak = [&](int workers) {
      e.Request.Workers = workers;
      const pid_t child = ::fork();
      if (child == 0) ::_exit(e.Run() ? 0 : 1);
      int status = -1;
      rusage usage{};
      return ::wait4(child, &status, 0, &usage) == child && status == 0 ? usage.ru_maxrss : -1L;
    };
    const long two = peak(2), many = peak(64);
    ASSERT_GT(two, 0) << kind.Name;
    EXPECT_LE(many, 2 * two) << kind.Name << ": " << two / 1024 << " MB with two, " << many / 1024
                             << " MB with 64";
  }
}

}  // namespace
}  // namespace flinder
