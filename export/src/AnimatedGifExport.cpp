#include "export/AnimatedGifExport.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "FrameBudget.h"
#include "FrameWorker.h"
#include "files/FileAccess.h"
#include "files/FileNameParts.h"
#include "export/OrderedFramePool.h"
#include "export/SpareBuffers.h"
#include "gif/AnimatedGIF.h"
#include "gif/GifAnimationEncoder.h"
#include "gif/GifFrameWriter.h"

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
                                     DrawingSurface& surface, const ShapeSettings& settings)
    : host_(host), renderer_(renderer), surface_(surface), settings_(settings) {}

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

namespace {

// A frame as drawn: its pixels for the host, its runs to keep, and who drew it.
struct DrawnFrame {
  Raster Pixels;
  ColourRuns Runs;
  int Worker = -1;
};

// One frame as a one-frame GIF file, or why it could not be made.
struct ConvertedFrame {
  std::optional<std::string> Gif;
  std::string Failure;
};

}  // namespace

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
  ExportFrameCount = 0;

  host_.SetPreviewTimerEnabled(false);
  host_.ShowProgress();
  ExportSummary summary{true, OutputFormat()};
  // Memory or a thread that cannot be had is this export's failure, not the
  // program's: whatever was made for the export goes as the stack unwinds.
  ExportResult result = ExportResult::Success();
  try {
    result = DrawAndWrite(summary);
  } catch (const std::exception& e) {
    result = ExportResult::Failure("Cannot write " + OutputFileName + ": " + e.what());
  }
  kept_.clear();

  host_.RestoreTopmost();
  host_.HideProgress();
  host_.SetPreviewTimerEnabled(true);

  if (!result.Ok) {
    host_.ShowMessage(result.Message);
    return {};
  }
  summary.FramesInGif = summary.Format == ExportFormat::Gif ? FramesToWrite() : framesWritten_;
  summary.Delay = gifDelay_;
  summary.DelayMilliseconds = DelayMilliseconds(settings_.SliderVal(Delay));
  summary.Bytes = bytesWritten_;
  return summary;
}

ExportResult AnimatedGifExport::DrawAndWrite(ExportSummary& summary) {
  const ExportFormat format = summary.Format;
  gifDelay_ = GifDelay(settings_.SliderVal(Delay));
  if (std::string note = SlowPlaybackNote(gifDelay_); !note.empty() && format == ExportFormat::Gif)
    host_.ShowNote(note);

  ScaledDrawing scaled(surface_, renderer_, Scale);
  summary.Scale = scaled.Scale();
  summary.Width = surface_.Width();
  summary.Height = surface_.Height();
  ExportResult result = WorkOutPoses();
  if (result.Ok && format != ExportFormat::Gif) {
    result = EncodeWebAnimation(format);
  } else if (result.Ok) {
    std::vector<FrameWorker> workers;
    result = DrawCycle(workers);
    if (result.Ok)
      result =
          Optimise || settings_.Transparent ? EncodeCycle(workers) : ConvertAndMergeFrames(workers);
  }
  return result;
}

ExportResult AnimatedGifExport::WorkOutPoses() {
  // Without a turn the cycle never completes: one still frame is the picture.
  const bool still = settings_.SliderVal(Speed) == 0 || settings_.SliderVal(Sides) < 3;
  poses_.clear();
  renderer_.CycleRunning = true;
  renderer_.Angle = 0;
  while (renderer_.CycleRunning) {
    if (poses_.size() == MaxFrames)
      return ExportResult::Failure("Cannot export " + OutputFileName +
                                   ": the cycle has more than " + std::to_string(MaxFrames) +
                                   " frames.");
    poses_.push_back(renderer_.Angle);
    renderer_.Turn(settings_);
    if (still) break;
  }
  return ExportResult::Success();
}

// The first frame is drawn here, from the surface as the export found it;
// every later one starts from the drawing state a frame leaves, so the
// workers' surfaces are copies of this one after it. A worker hands its
// picture over whole and draws the next frame on a spare one. The host gets
// the frames in order, and the surface ends with the closing frame's picture.
ExportResult AnimatedGifExport::DrawCycle(std::vector<FrameWorker>& workers) {
  const int frames = static_cast<int>(poses_.size());
  const bool changes = Optimise || settings_.Transparent;
  palette_ = AnimationPalette();
  kept_.assign(poses_.size(), ColourRuns());
  std::size_t keptBytes = 0;
  ColourRuns unkept;  // the frame before, when it was not kept
  const ColourRuns* previous = nullptr;
  int closingWorker = -1;
  Raster closing;
  ExportResult result = ExportResult::Success();

  auto take = [&](int number, DrawnFrame&& frame) {
    palette_.AddFrame(frame.Runs);
    if (changes && previous) palette_.AddChanges(*previous, frame.Runs);
    // The first frame is always kept: no worker can draw it again.
    ColourRuns& kept = kept_[number - 1];
    if (number == 1 || keptBytes + frame.Runs.Bytes() <= KeptFrameBytes) {
      keptBytes += frame.Runs.Bytes();
      kept = std::move(frame.Runs);
      previous = &kept;
    } else {
      unkept = std::move(frame.Runs);
      previous = &unkept;
    }
    if (number == frames) closingWorker = frame.Worker;
    result = TellFrameDrawn(number, frame.Pixels);
    return result.Ok;
  };

  FrameWorker first(surface_, renderer_);
  ColourRuns runs = first.Draw(poses_[0], settings_);
  surface_ = std::move(first.Surface);
  if (!take(1, {surface_.Capture(), std::move(runs), -1})) return result;

  // A worker holds its surface and the frames it has in flight, as pixels and as runs.
  const OrderedFramePool pool(UsefulWorkers(Workers, 4 * FrameBytes()));
  for (int w = 0; w < pool.Workers(); ++w) workers.emplace_back(surface_.OwnCopy(), renderer_);
  SpareBuffers<Raster> spare;
  pool.Run<DrawnFrame>(
      frames - 1,
      [&](int worker, int n) {
        FrameWorker& own = workers[static_cast<std::size_t>(worker)];
        DrawnFrame drawn{spare.Take(), own.Draw(poses_[static_cast<std::size_t>(n)], settings_),
                         worker};
        own.Surface.SwapPicture(drawn.Pixels);
        return drawn;
      },
      [&](int n, DrawnFrame&& frame) {
        const bool goOn = take(n + 1, std::move(frame));
        if (n + 1 == frames)
          closing = std::move(frame.Pixels);
        else
          spare.Give(std::move(frame.Pixels));
        return goOn;
      });
  if (result.Ok && closingWorker >= 0) {
    surface_ = workers[static_cast<std::size_t>(closingWorker)].Surface;
    surface_.SwapPicture(closing);
  }
  return result;
}

ColourRuns AnimatedGifExport::KeptOrDrawn(FrameWorker& worker, int number) {
  ColourRuns& kept = kept_[static_cast<std::size_t>(number - 1)];
  if (kept.Runs.empty())
    return worker.Draw(poses_[static_cast<std::size_t>(number - 1)], settings_);
  return std::move(kept);
}

// Frames share one palette, so they convert independently of each other on
// every core; the merger takes them in order.
ExportResult AnimatedGifExport::ConvertAndMergeFrames(std::vector<FrameWorker>& workers) {
  if (ExportResult built = BuildPalette(palette_); !built.Ok) return built;
  const int frames = FramesToWrite();
  AnimatedGIF merger;
  merger.LoopCount = Loop.GifLoopCount();
  merger.ResetMergeState(static_cast<std::int16_t>(surface_.Width()),
                         static_cast<std::int16_t>(surface_.Height()),
                         static_cast<std::int16_t>(gifDelay_));
  // The file is written as the frames are merged, beside the work on them.
  if (ExportResult opened = merger.StartOutput(OutputFileName); !opened.Ok) return opened;
  ExportResult result = ExportResult::Success();
  const OrderedFramePool pool(static_cast<int>(workers.size()));
  pool.Run<ConvertedFrame>(
      frames,
      [&](int worker, int n) {
        FrameWorker& own = workers[static_cast<std::size_t>(worker)];
        palette_.Map(KeptOrDrawn(own, n), own.Mapped);
        ConvertedFrame converted;
        converted.Gif = EncodeGifFrame(own.Mapped);
        if (!converted.Gif)
          converted.Failure = "Cannot write " + OutputFileName + ": frame " + std::to_string(n) +
                              " cannot be encoded as GIF";
        return converted;
      },
      [&](int n, ConvertedFrame&& converted) {
        if (!converted.Gif) {
          result = ExportResult::Failure(converted.Failure);
          return false;
        }
        merger.MergeFrame(*converted.Gif);
        host_.FramesConverted(n, frames);
        return merger.WriteMergedFrames();
      });
  if (!result.Ok) return result;
  ShowFinishedCaption();
  ExportResult finished = merger.FinishMerged();
  bytesWritten_ = merger.BytesWritten();
  return finished;
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

// The frames are mapped to the palette on every core; the encoder, which
// compares each frame with the one before, takes them in order.
ExportResult AnimatedGifExport::EncodeCycle(std::vector<FrameWorker>& workers) {
  if (ExportResult built = BuildPalette(palette_); !built.Ok) return built;
  palette_.OrderByUse();
  const int frames = FramesToWrite();
  GifAnimationEncoder encoder(surface_.Width(), surface_.Height(), palette_.Colours(),
                              palette_.TransparentIndex(), Optimise,
                              static_cast<std::uint16_t>(gifDelay_), Loop.GifLoopCount(),
                              static_cast<int>(workers.size()));
  const OrderedFramePool pool(static_cast<int>(workers.size()));
  SpareBuffers<std::vector<std::uint8_t>> spare;
  pool.Run<std::vector<std::uint8_t>>(
      frames,
      [&](int worker, int n) {
        IndexedFrame mapped;
        mapped.Indexes = spare.Take();
        palette_.Map(KeptOrDrawn(workers[static_cast<std::size_t>(worker)], n), mapped);
        return std::move(mapped.Indexes);
      },
      [&](int n, std::vector<std::uint8_t>&& indexes) {
        spare.Give(encoder.AddFrame(std::move(indexes)));
        host_.FramesConverted(n, frames);
        return true;
      });
  return WriteFinishedFile(encoder.Finish());
}

ExportResult AnimatedGifExport::TellFrameDrawn(int number, const Raster& frame) {
  ExportFrameCount = number;
  ExportResult told = host_.FrameDrawn(number, frame);
  if (!told.Ok && told.Message.empty())
    told.Message = "Cannot write " + OutputFileName + ": the export was stopped.";
  return told;
}

ExportResult AnimatedGifExport::WriteFinishedFile(const std::string& bytes) {
  ShowFinishedCaption();
  // A picture can be made again: replaced whole, but not flushed to the disk.
  Result<> written = ReplaceFile(OutputFileName, bytes, false);
  if (!written)
    return ExportResult::Failure("Cannot write " + OutputFileName + ": " + written.Message());
  bytesWritten_ = bytes.size();
  return ExportResult::Success();
}

}  // namespace flinder
