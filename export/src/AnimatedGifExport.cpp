#include "export/AnimatedGifExport.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
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
  std::optional<std::string> chosen = host_.AskSaveFileName("Untitled.gif");
  if (!chosen || chosen->empty()) return false;
  OutputFileName = *chosen;
  AskFileName = false;  // the next Save writes to the chosen file
  host_.RepaintMainWindow();
  return true;
}

ExportSummary AnimatedGifExport::Run() {
  FrameFiles.clear();
  FrameFiles.reserve(MaxFrames);
  ExportFrameCount = 0;

  host_.SetPreviewTimerEnabled(false);
  host_.ShowProgress();
  const int delay = GifDelay(settings_.SliderVal(Delay));
  if (std::string note = SlowPlaybackNote(delay); !note.empty()) host_.ShowNote(note);

  ExportResult result;
  if (Optimise || settings_.Transparent) {
    result = EncodeCycle();
  } else {
    result = RenderCycle(true);
    if (result.Ok) result = ConvertAndMergeFrames();
  }
  RemoveTemporaryFiles();

  host_.RestoreTopmost();
  host_.HideProgress();
  host_.SetPreviewTimerEnabled(true);

  if (!result.Ok) {
    host_.ShowMessage(result.Message);
    return {};
  }
  return {true, std::max(ExportFrameCount - 1, 1), surface_.Width(), surface_.Height(), delay};
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
  try {
    palette->Build();
  } catch (const std::exception& e) {
    return ExportResult::Failure("Cannot choose the colours of " + OutputFileName + ": " +
                                 e.what());
  }

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
  const auto delay = static_cast<std::int16_t>(GifDelay(settings_.SliderVal(Delay)));
  AnimatedGIF merger;
  ExportResult merged = merger.MergeGifFrames(FrameFiles, mergeCount, OutputFileName,
                                              static_cast<std::int16_t>(surface_.Width()),
                                              static_cast<std::int16_t>(surface_.Height()), delay);
  return merged;
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
  try {
    palette_.Build();
  } catch (const std::exception& e) {
    return ExportResult::Failure("Cannot choose the colours of " + OutputFileName + ": " +
                                 e.what());
  }

  palette_.OrderByUse();
  const int frames = std::max(ExportFrameCount - 1, 1);
  GifAnimationEncoder encoder(surface_.Width(), surface_.Height(), palette_.Colours(),
                              palette_.TransparentIndex(), Optimise,
                              static_cast<std::uint16_t>(GifDelay(settings_.SliderVal(Delay))));
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
