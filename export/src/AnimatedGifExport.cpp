#include "export/AnimatedGifExport.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>

#include "design/FileAccess.h"
#include "design/FileNameParts.h"
#include "gif/AnimatedGIF.h"
#include "gif/GifAnimationEncoder.h"
#include "image/BmpFile.h"
#include "image/IMGLIB1.h"

namespace flinder {

int GifDelay(float delayMilliseconds) {
  return static_cast<int>(std::nearbyint(static_cast<double>(delayMilliseconds) / 10));
}

int DelayMilliseconds(float delay) {
  return static_cast<int>(std::lround(delay));
}

std::string SlowPlaybackNote(int delay) {
  if (delay > 1) return {};
  return "Note: most browsers play frames of 0 or 1 hundredth of a second at a tenth of a "
         "second, so on a web page this picture turns slower than in the preview.";
}

AnimatedGifExport::AnimatedGifExport(ExportHost& host, FrameRenderer& renderer,
                                     DrawingSurface& surface, const ShapeSettings& settings,
                                     std::string temporaryFolder)
    : host_(host),
      renderer_(renderer),
      surface_(surface),
      settings_(settings),
      temporaryFolder_(std::move(temporaryFolder)) {}

ExportSummary AnimatedGifExport::ExportAnimatedGif() {
  if (!ChooseOutputFile()) return {};
  return Run();
}

bool AnimatedGifExport::ChooseOutputFile() {
  if (!OutputFileName.empty() && !AskFileName) return true;
  if (OutputFileName.empty()) host_.EnableSaveMenu();
  // A cancelled dialog leaves the known name as it was.
  std::optional<std::string> chosen = host_.AskSaveFileName(
      "Untitled." + std::string(FormatExtension(Format.value_or(ExportFormat::Gif))));
  if (!chosen || chosen->empty()) return false;
  OutputFileName = *chosen;
  AskFileName = false;  // the next Save writes to the chosen file
  host_.RepaintMainWindow();
  return true;
}

ExportFormat AnimatedGifExport::OutputFormat() const {
  return Format ? *Format : FormatOfFileName(OutputFileName).value_or(ExportFormat::Gif);
}

namespace {

// For as long as it lives, the export draws Scale times larger on a surface
// Scale times the preview's size (the pen it starts with too); then the
// preview's surface and scale are back.
class ScaledDrawing {
 public:
  ScaledDrawing(DrawingSurface& surface, FrameRenderer& renderer, int scale)
      : surface_(surface), renderer_(renderer), scale_(std::clamp(scale, 1, MaxExportScale)) {
    if (scale_ == 1) return;
    preview_ = surface;
    surface.Resize(surface.Width() * scale_, surface.Height() * scale_);
    surface.SetDrawWidth(surface.DrawWidth() * scale_);
    renderer.Scale = scale_;
  }
  ~ScaledDrawing() {
    if (scale_ == 1) return;
    surface_ = std::move(preview_);
    renderer_.Scale = 1;
  }
  ScaledDrawing(const ScaledDrawing&) = delete;
  ScaledDrawing& operator=(const ScaledDrawing&) = delete;

  int Scale() const { return scale_; }

 private:
  DrawingSurface& surface_;
  FrameRenderer& renderer_;
  int scale_;
  DrawingSurface preview_;
};

}  // namespace

ExportSummary AnimatedGifExport::Run() {
  FrameFiles.clear();
  FrameFiles.reserve(MaxFrames);
  ExportFrameCount = 0;

  host_.SetPreviewTimerEnabled(false);
  host_.ShowProgress();
  const ExportFormat format = OutputFormat();
  gifDelay_ = GifDelay(settings_.SliderVal(Delay));
  if (std::string note = SlowPlaybackNote(gifDelay_); !note.empty() && format == ExportFormat::Gif)
    host_.ShowNote(note);

  ExportSummary summary{true, format};
  ExportResult result;
  {
    ScaledDrawing scaled(surface_, renderer_, Scale);
    summary.Scale = scaled.Scale();
    summary.Width = surface_.Width();
    summary.Height = surface_.Height();
    if (format != ExportFormat::Gif) {
      result = EncodeWebAnimation(format);
    } else if (Optimise || settings_.Transparent) {
      result = EncodeCycle();
    } else {
      result = RenderCycle(true);
      if (result.Ok) result = ConvertAndMergeFrames();
    }
    RemoveTemporaryFiles();
  }

  host_.RestoreTopmost();
  host_.HideProgress();
  host_.SetPreviewTimerEnabled(true);

  if (!result.Ok) {
    host_.ShowMessage(result.Message);
    return {};
  }
  summary.FramesInGif =
      format == ExportFormat::Gif ? std::max(ExportFrameCount - 1, 1) : framesWritten_;
  summary.Delay = gifDelay_;
  summary.DelayMilliseconds = DelayMilliseconds(settings_.SliderVal(Delay));
  std::error_code error;
  summary.Bytes = std::filesystem::file_size(OutputFileName, error);
  if (error) summary.Bytes = 0;
  return summary;
}

std::string AnimatedGifExport::FrameFileName(int number, const char* extension) const {
  return temporaryFolder_ + "/temp" + std::to_string(number) + "." + extension;
}

ExportResult AnimatedGifExport::RenderCycle(bool keepFrameFiles) {
  // Without a turn the cycle never completes: one still frame is the picture.
  const bool still = settings_.SliderVal(Speed) == 0 || settings_.SliderVal(Sides) < 3;
  palette_ = AnimationPalette();
  Raster previous;  // the frame before, when the file stores changes
  renderer_.CycleRunning = true;
  renderer_.Angle = 0;
  while (renderer_.CycleRunning) {
    if (ExportFrameCount == MaxFrames)
      return ExportResult::Failure("Cannot export " + OutputFileName +
                                   ": the cycle has more than " + std::to_string(MaxFrames) +
                                   " frames.");
    ++ExportFrameCount;
    renderer_.DrawFrame(surface_, settings_);
    if (keepFrameFiles) {
      const std::string bmp = FrameFileName(ExportFrameCount, "bmp");
      FrameFiles.push_back(bmp);
      std::string error = WriteFileBytes(bmp, EncodeBmp(surface_.Capture()));
      if (!error.empty()) return ExportResult::Failure("Cannot write " + bmp + ": " + error);
    }
    palette_.AddFrame(surface_.Capture());
    if (!keepFrameFiles) {
      if (ExportFrameCount > 1) palette_.AddChanges(previous, surface_.Capture());
      previous = surface_.Capture();
    }
    ExportResult drawn = host_.FrameDrawn(ExportFrameCount, surface_.Capture());
    if (!drawn.Ok) {
      if (drawn.Message.empty())
        drawn.Message = "Cannot write " + OutputFileName + ": the export was stopped.";
      return drawn;
    }
    if (still) break;
  }
  return ExportResult::Success();
}

// Frames share one palette, so they convert independently of each other:
// the work is spread over the cores, each worker with its own image module.
ExportResult AnimatedGifExport::ConvertAndMergeFrames() {
  auto palette = std::make_shared<AnimationPalette>(std::move(palette_));
  if (ExportResult built = BuildPalette(*palette); !built.Ok) return built;

  std::vector<ExportResult> results(ExportFrameCount, ExportResult::Success());
  std::atomic<int> next = 1, converted = 0;
  const auto exportThread = std::this_thread::get_id();
  auto convert = [&] {
    IMGLIB1 images;
    images.UseAnimationPalette(palette);
    for (int i = next++; i <= ExportFrameCount; i = next++) {
      const std::string bmp = FrameFileName(i, "bmp"), gif = FrameFileName(i, "gif");
      images.ImageFileName = bmp;
      if (!images.LoadImageFile("bmp")) {
        results[i - 1] = ExportResult::Failure("Cannot write " + gif + ": cannot read " + bmp +
                                               ": " + images.LoadError);
        continue;
      }
      images.ImageFileName = gif;
      results[i - 1] = images.SaveImageFile("gif");
      ++converted;
      // The host is told from the export's own thread only.
      if (std::this_thread::get_id() == exportThread)
        host_.FramesConverted(converted, ExportFrameCount);
    }
  };
  {
    const int helpers = std::min<int>(std::thread::hardware_concurrency(), 4) - 1;
    std::vector<std::jthread> workers;
    for (int w = 0; w < helpers && w + 1 < ExportFrameCount; ++w) workers.emplace_back(convert);
    convert();
  }
  host_.FramesConverted(ExportFrameCount, ExportFrameCount);
  for (int i = 1; i <= ExportFrameCount; ++i) {
    if (!results[i - 1].Ok) return results[i - 1];
    FrameFiles[i - 1] = FrameFileName(i, "gif");
  }

  ShowFinishedCaption();

  // The closing frame repeats the first pose and is left out, unless it is
  // the only frame there is. Readers want a logical screen that holds the frames.
  const int mergeCount = std::max(ExportFrameCount, 2);
  AnimatedGIF merger;
  merger.LoopCount = Loop.GifLoopCount();
  return merger.MergeGifFrames(
      FrameFiles, mergeCount, OutputFileName, static_cast<std::int16_t>(surface_.Width()),
      static_cast<std::int16_t>(surface_.Height()), static_cast<std::int16_t>(gifDelay_));
}

ExportResult AnimatedGifExport::BuildPalette(AnimationPalette& palette) const {
  try {
    palette.Build();
  } catch (const std::exception& e) {
    return ExportResult::Failure("Cannot choose the colours of " + OutputFileName + ": " +
                                 e.what());
  }
  return ExportResult::Success();
}

void AnimatedGifExport::ShowFinishedCaption() {
  host_.SetMainCaption(" GIF Flendar - " + FileTitle(OutputFileName));
}

// The second pass starts from the surface and rotation the first one
// started from, so it draws the very same frames; the closing frame, which
// repeats the first pose, is drawn only when it is the only one.
ExportResult AnimatedGifExport::EncodeCycle() {
  const DrawingSurface start = surface_;
  ExportResult drawn = RenderCycle(false);
  if (!drawn.Ok) return drawn;
  if (ExportResult built = BuildPalette(palette_); !built.Ok) return built;
  palette_.OrderByUse();
  const int frames = std::max(ExportFrameCount - 1, 1);
  GifAnimationEncoder encoder(surface_.Width(), surface_.Height(), palette_.Colours(),
                              palette_.TransparentIndex(), Optimise,
                              static_cast<std::uint16_t>(gifDelay_), Loop.GifLoopCount());
  // The preview goes on from where the first pass ended.
  const double endAngle = renderer_.Angle;
  const std::int16_t endFrameNo = renderer_.FrameNo;
  surface_ = start;
  renderer_.Angle = 0;
  for (int i = 1; i <= frames; ++i) {
    renderer_.DrawFrame(surface_, settings_);
    encoder.AddFrame(palette_.Map(surface_.Capture()).Indexes);
    host_.FramesConverted(i, frames);
  }
  renderer_.Angle = endAngle;
  renderer_.FrameNo = endFrameNo;
  const std::string bytes = encoder.Finish();
  ShowFinishedCaption();
  // A picture can be made again: replaced whole, but not flushed to the disk.
  std::string error = ReplaceFile(OutputFileName, bytes, false);
  if (!error.empty()) return ExportResult::Failure("Cannot write " + OutputFileName + ": " + error);
  return ExportResult::Success();
}

void AnimatedGifExport::RemoveTemporaryFiles() {
  for (int i = 1; i <= ExportFrameCount; ++i) {
    std::remove(FrameFileName(i, "bmp").c_str());
    std::remove(FrameFileName(i, "gif").c_str());
  }
}

}  // namespace flinder
