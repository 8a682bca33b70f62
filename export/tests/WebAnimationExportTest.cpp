#include <gtest/gtest.h>

#include "AnimationReaders.h"
#include "GifTestFiles.h"
#include "export/AnimatedGifExport.h"

namespace flinder {
namespace {

// A transparent design with a caption and its shadow over a turning
// pentagon, exported in every format with the frames drawn kept.
struct WebExport : HeadlessExportHost {
  ScratchFolder folder{"web-export"};
  ShapeSettings settings;
  std::vector<Raster> Frames;

  WebExport() {
    const std::pair<int, float> sliders[] = {
        {Sides, 0.1f},  {Radius, 0.3f}, {Speed, 0.6f},   {Detail, 0.02f},
        {Delay, 0.07f}, {Width, 0.1f},  {Height, 0.05f}, {TextShadowOffset, 0.3f}};
    for (auto [slider, position] : sliders) settings.SetSlider(slider, position);
    for (int slot = 0; slot < ColourSlotCount; ++slot) {
      settings.SelectedSlot = slot;
      for (int c = 0; c < 3; ++c) settings.SetSlider(RedSlider + c, (slot + 2 * c) % 7 / 6.0f);
    }
    settings.PosX = settings.PosY = 0.5;
    settings.TextX = 0.1;
    settings.TextY = 0.2;
    settings.ShowText = settings.TextFront = settings.ViewTextShadow = settings.Transparent = true;
    settings.Text = "Web";
  }
  ExportResult FrameDrawn(int, const Raster& frame) override {
    Frames.push_back(frame);
    return ExportResult::Success();
  }
  int FrameCount = 0;  // what the window shows after the last export
  // Exports into `name`; the summary, and the file's bytes in `bytes`.
  ExportSummary Export(const std::string& name, std::string& bytes, LoopChoice loop = {},
                       int scale = 1, std::optional<ExportFormat> format = {}) {
    Frames.clear();
    DrawingSurface surface(Size(1).first, Size(1).second);
    FrameRenderer renderer;
    AnimatedGifExport exporter(*this, renderer, surface, settings);
    exporter.OutputFileName = folder.File(name);
    exporter.Loop = loop;
    exporter.Scale = scale;
    exporter.Format = format;
    const ExportSummary summary = exporter.ExportAnimatedGif();
    FrameCount = exporter.ExportFrameCount;
    EXPECT_EQ(std::pair(surface.Width(), surface.Height()), Size(1));  // the preview's
    bytes = ReadWholeFile(exporter.OutputFileName);
    return summary;
  }
  std::pair<int, int> Size(int scale) const {
    return {static_cast<int>(settings.SliderVal(Width)) * scale,
            static_cast<int>(settings.SliderVal(Height)) * scale};
  }
  // The cycle drawn frame after frame on one surface that keeps coverage.
  std::vector<RgbaRaster> DrawnInTurn(int frames, int scale) const {
    DrawingSurface surface(Size(scale).first, Size(scale).second);
    surface.SetKeepCoverage(true);
    FrameRenderer renderer;
    renderer.Scale = scale;
    std::vector<RgbaRaster> drawn;
    for (int i = 0; i < frames; ++i) {
      renderer.DrawFrame(surface, settings);
      drawn.push_back(StraightRgba(surface.Capture()));
    }
    return drawn;
  }
};

// Drawn on every core, each frame once, the WebP and the APNG show exactly
// the frames drawn in turn, caption edges translucent in their own colour,
// and play as often as the loop choice says, like the GIF.
TEST(WebAnimationExport, WebpAndApngShowTheFramesDrawnWithRealAlphaAndTheirLoop) {
  WebExport e;
  std::string bytes;
  const LoopChoice loops[] = {{false, 4}, {true, 999}};
  for (const LoopChoice& loop : loops) {
    ExportSummary summary = e.Export("a.webp", bytes, loop);
    ASSERT_TRUE(summary.Ok) << testing::PrintToString(e.Messages);
    EXPECT_EQ(summary.Format, ExportFormat::Webp);
    const std::vector<RgbaRaster> drawn = e.DrawnInTurn(summary.FramesInGif, 1);
    ASSERT_GT(drawn.size(), 3u);
    ASSERT_EQ(e.Frames.size(), drawn.size());  // the closing frame is not drawn
    const DecodedWebp webp = DecodeWebp(bytes);
    EXPECT_EQ(webp.Shown, drawn);
    EXPECT_EQ(webp.Loops, loop.Plays());
    EXPECT_EQ(webp.EndTimes[1], 140);  // the Delay in milliseconds

    ASSERT_TRUE(e.Export("a.apng", bytes, loop).Ok);
    const std::optional<DecodedApng> apng = DecodeApng(bytes);
    ASSERT_TRUE(apng);
    EXPECT_EQ(apng->Shown, drawn);
    EXPECT_EQ(apng->Plays, loop.Plays());
    const int webFrameCount = e.FrameCount;

    ASSERT_TRUE(e.Export("a.gif", bytes, loop).Ok);
    const std::string netscape = "NETSCAPE2.0\x03\x01";
    const std::size_t at = bytes.find(netscape) + netscape.size();
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8,
              loop.GifLoopCount());
    EXPECT_EQ(e.FrameCount, webFrameCount);
    EXPECT_TRUE(e.Notes.empty());
  }
  const std::vector<RgbaRaster> drawn = e.DrawnInTurn(1, 1);
  const auto& first = drawn[0].Bytes;
  int clear = 0, translucent = 0;
  for (std::size_t p = 3; p < first.size(); p += 4) {
    clear += first[p] == 0;
    translucent += first[p] != 0 && first[p] != 255;
  }
  EXPECT_GT(clear, 1000);
  EXPECT_GT(translucent, 10);
}

// At scale 2 the export draws every length twice as long on a frame twice
// the size; a named format wins over the file's extension.
TEST(WebAnimationExport, AScaledExportIsDrawnLargerAndAFormatWinsOverTheExtension) {
  WebExport e;
  std::string bytes;
  const ExportSummary summary = e.Export("big.gif", bytes, {}, 2, ExportFormat::Apng);
  ASSERT_TRUE(summary.Ok);
  EXPECT_EQ(summary.Format, ExportFormat::Apng);
  EXPECT_EQ(std::pair(summary.Width, summary.Height), e.Size(2));
  EXPECT_EQ(summary.Scale, 2);
  const std::optional<DecodedApng> apng = DecodeApng(bytes);
  ASSERT_TRUE(apng);
  EXPECT_EQ(apng->Shown, e.DrawnInTurn(summary.FramesInGif, 2));
}

}  // namespace
}  // namespace flinder
