#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "GifTestFiles.h"
#include "SampleDesigns.h"
#include "export/AnimatedGifExport.h"
#include "files/FileNameParts.h"
#include "gif/AnimatedGIF.h"
#include "gif/GifAnimationEncoder.h"
#include "image/BmpFile.h"
#include "image/IMGLIB1.h"

namespace flinder {
namespace {

// One export of a design into a scratch folder, keeping the frames drawn.
struct Export : HeadlessExportHost {
  std::vector<Raster> Drawn;
  std::string File;
  FrameRenderer Renderer;

  Export(const ShapeSettings& settings, bool optimise, const ScratchFolder& folder, int workers = 0,
         std::optional<std::size_t> keptFrameBytes = {}) {
    DrawingSurface surface(static_cast<int>(settings.SliderVal(Width)),
                           static_cast<int>(settings.SliderVal(Height)));
    AnimatedGifExport exporter(*this, Renderer, surface, settings);
    exporter.OutputFileName = folder.File("out.gif");
    exporter.Optimise = optimise;
    exporter.Workers = workers;
    if (keptFrameBytes) exporter.KeptFrameBytes = *keptFrameBytes;
    if (!exporter.ExportAnimatedGif().Ok) ADD_FAILURE() << testing::PrintToString(Messages);
    File = ReadWholeFile(folder.File("out.gif"));
  }
  ExportResult FrameDrawn(int, const Raster& frame) override {
    Drawn.push_back(frame);
    return ExportResult::Success();
  }
  std::vector<Raster> Shown(int loops = 1) const {
    return ComposeGif(File, loops).value_or(std::vector<Raster>{});
  }
};

// One cycle drawn frame after frame on one surface, as the preview draws it.
std::vector<Raster> DrawnInTurn(const ShapeSettings& settings) {
  DrawingSurface surface(static_cast<int>(settings.SliderVal(Width)),
                         static_cast<int>(settings.SliderVal(Height)));
  FrameRenderer renderer;
  renderer.CycleRunning = true;
  std::vector<Raster> frames;
  while (renderer.CycleRunning && frames.size() < AnimatedGifExport::MaxFrames) {
    renderer.DrawFrame(surface, settings);
    frames.push_back(surface.Capture());
  }
  return frames;
}

// The file the export wrote when every frame went through the disk: plain, each frame a BMP
// file converted to a one-frame GIF file with the animation's palette, the GIF files merged;
// optimised or transparent, the frames encoded in turn once the palette was chosen.
std::string WrittenThroughFiles(const std::vector<Raster>& frames, const ShapeSettings& settings,
                                bool optimise, const ScratchFolder& folder) {
  AnimationPalette palette;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    palette.AddFrame(frames[i]);
    if (i > 0) palette.AddChanges(frames[i - 1], frames[i]);
  }
  palette.Build();
  const int width = frames[0].Width, height = frames[0].Height;
  const auto delay = static_cast<std::int16_t>(GifDelay(settings.SliderVal(Delay)));
  const std::size_t count = std::max<std::size_t>(frames.size() - 1, 1);
  if (!optimise && !settings.Transparent) {
    IMGLIB1 images;
    images.UseAnimationPalette(std::make_shared<AnimationPalette>(palette));
    std::vector<std::string> files;
    for (std::size_t i = 0; i < count; ++i) {
      images.ImageFileName = folder.File("temp" + std::to_string(i + 1) + ".bmp");
      WriteWholeFile(images.ImageFileName, EncodeBmp(frames[i]));
      EXPECT_TRUE(images.LoadImageFile("bmp"));
      images.ImageFileName = files.emplace_back(WithExtension(images.ImageFileName, "gif"));
      EXPECT_TRUE(images.SaveImageFile("gif").Ok);
    }
    const std::string merged = folder.File("merged.gif");
    EXPECT_TRUE(AnimatedGIF()
                    .MergeGifFrames(files, static_cast<int>(count) + 1, merged,
                                    static_cast<std::int16_t>(width),
                                    static_cast<std::int16_t>(height), delay)
                    .Ok);
    return ReadWholeFile(merged);
  }
  palette.OrderByUse();
  GifAnimationEncoder encoder(width, height, palette.Colours(), palette.TransparentIndex(),
                              optimise, static_cast<std::uint16_t>(delay));
  for (std::size_t i = 0; i < count; ++i) encoder.AddFrame(palette.Map(frames[i]).Indexes);
  return encoder.Finish();
}

// Frames drawn on every core and kept in memory make the very file the frames drawn in turn
// and passed through the disk made: on one worker, on three that finish frames out of
// order, and with no frame kept, so that each is drawn again for the file.
TEST(WebReadyExport, FramesInMemoryOnAnyNumberOfCoresMakeTheFileOfTheFramesOnDisk) {
  ScratchFolder folder("in-memory");
  for (const SampleDesign& sample : SampleDesigns()) {
    for (bool transparent : {false, true}) {
      ShapeSettings settings = SettingsOf(sample);
      settings.Transparent = transparent;
      const std::vector<Raster> frames = DrawnInTurn(settings);
      for (bool optimise : {false, true}) {
        const std::string expected = WrittenThroughFiles(frames, settings, optimise, folder);
        const std::pair<int, std::optional<std::size_t>> runs[] = {{1, {}}, {3, {}}, {2, 0}};
        for (auto [workers, kept] : runs) {
          const Export done(settings, optimise, folder, workers, kept);
          EXPECT_TRUE(done.Drawn == frames) << sample.Name << ", " << workers << " workers";
          EXPECT_TRUE(done.File == expected) << sample.Name << ", " << workers << " workers";
        }
      }
    }
  }
}

// Every sample design: the optimised file shows the plain file's pictures in
// fewer bytes and leaves the preview where the plain export leaves it. Made
// transparent, both files show the drawn frames with the page wherever the
// frame is background, on the first play and when the animation loops,
// pixels the shape has just left included.
TEST(WebReadyExport, OptimisedFilesShowThePlainPicturesAndTransparentOnesShowThePageBehind) {
  ScratchFolder folder("web-ready");
  for (const SampleDesign& sample : SampleDesigns()) {
    ShapeSettings settings = SettingsOf(sample);
    const Export plain(settings, false, folder);
    const Export optimised(settings, true, folder);
    ASSERT_FALSE(plain.Shown().empty()) << sample.Name;
    EXPECT_EQ(optimised.Shown(), plain.Shown()) << sample.Name;
    EXPECT_LT(optimised.File.size(), plain.File.size()) << sample.Name;
    EXPECT_EQ(optimised.Renderer.Angle, plain.Renderer.Angle) << sample.Name;
    EXPECT_EQ(optimised.Renderer.FrameNo, plain.Renderer.FrameNo) << sample.Name;

    settings.Transparent = true;
    const Export transparent(settings, false, folder);
    const Export both(settings, true, folder);
    const std::vector<Raster> shown = transparent.Shown(2);
    EXPECT_EQ(both.Shown(2), shown) << sample.Name;
    // The colours are exact when the frames have at most 255 of them.
    std::set<ColourValue> colours;
    for (const Raster& frame : transparent.Drawn)
      for (ColourValue pixel : frame.Pixels)
        if (!IsBackground(pixel)) colours.insert(pixel);
    const std::size_t frames = std::max<std::size_t>(transparent.Drawn.size() - 1, 1);
    ASSERT_EQ(shown.size(), 2 * frames) << sample.Name;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const Raster& drawn = transparent.Drawn[i % frames];
      int clear = 0;
      for (std::size_t p = 0; p < drawn.Pixels.size(); ++p) {
        const ColourValue pixel = drawn.Pixels[p], seen = shown[i].Pixels[p];
        if (IsBackground(pixel)) {
          EXPECT_EQ(seen, ClearPixel) << sample.Name << ", picture " << i << ", pixel " << p;
          ++clear;
        } else {
          ASSERT_NE(seen, ClearPixel) << sample.Name << ", picture " << i << ", pixel " << p;
          if (colours.size() <= 255) {
            EXPECT_EQ(seen, pixel) << sample.Name << ", picture " << i;
          }
        }
      }
      EXPECT_GT(clear, 0) << sample.Name;
    }
  }
}

}  // namespace
}  // namespace flinder
