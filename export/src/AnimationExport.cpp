#include "export/AnimationExport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>
#include <utility>

#include "ExportOutput.h"
#include "FrameWorker.h"
#include "animation/WorkBuffers.h"

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

std::string StillPictureReason(const ShapeSettings& settings) {
  if (settings.SliderVal(Speed) == 0) return "Speed is 0";
  if (settings.SliderVal(Sides) < 3) return "it has fewer than 3 sides";
  return {};
}

AnimationExport::AnimationExport(ExportHost& host, FrameRenderer& renderer,
                                 DrawingSurface& surface, const ShapeSettings& settings)
    : host_(host), renderer_(renderer), surface_(surface), settings_(settings) {}

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

Result<ExportSummary> AnimationExport::Run(const ExportRequest& request) {
  ExportFrameCount = 0;
  framesWritten_ = 0;
  exact_ = request.Format != ExportFormat::Svg;
  ExportSummary summary;
  // Memory or a thread that cannot be had is this export's failure, not the
  // program's: whatever was made for the export goes as the stack unwinds.
  // Copying the request takes memory too, and may leave it half copied.
  Result<> result;
  try {
    request_ = request;
    result = DrawAndWrite(summary);
  } catch (const std::exception& e) {
    result = Failure{"Cannot write " + request.OutputFileName + ": " + e.what()};
  }
  if (!result) return result.Error();
  summary.FramesInFile = framesWritten_;
  summary.Exact = exact_;
  summary.Delay = gifDelay_;
  summary.DelayMilliseconds = DelayMilliseconds(settings_.SliderVal(Delay));
  return summary;
}

Result<> AnimationExport::DrawAndWrite(ExportSummary& summary) {
  const bool gif = request_.Format == ExportFormat::Gif;
  gifDelay_ = GifDelay(settings_.SliderVal(Delay));
  if (std::string note = SlowPlaybackNote(gifDelay_); !note.empty() && gif) host_.ShowNote(note);
  // Frame buffers freed go back to the heap for the next frames.
  ReuseWorkBuffers();

  // An SVG file's shapes are not drawn on the surface: it keeps its size.
  const bool svg = request_.Format == ExportFormat::Svg;
  summary.Scale = std::clamp(request_.Scale, 1, MaxExportScale);
  summary.Width = surface_.Width() * summary.Scale;
  summary.Height = surface_.Height() * summary.Scale;
  std::optional<ScaledDrawing> scaled;
  if (!svg) scaled.emplace(surface_, renderer_, summary.Scale);
  if (Result<> posed = WorkOutPoses(); !posed) return posed;
  ExportOutput output(request_.OutputFileName);
  Result<> written = gif   ? WriteGif(output)
                     : svg ? WriteSvg(output, summary)
                           : WriteWebAnimation(output);
  if (!written) return written;
  // A stop asked while the file was being finished still leaves the old one.
  if (Cancelled()) return CancelledFailure();
  if (Result<> committed = output.Commit(); !committed) return WriteFailure(committed.Message());
  summary.Bytes = output.BytesWritten();
  return {};
}

std::optional<std::vector<double>> CyclePoses(FrameRenderer& renderer,
                                              const ShapeSettings& settings) {
  // Without a turn the cycle never completes: one still frame is the picture.
  const bool still = !StillPictureReason(settings).empty();
  std::vector<double> poses;
  renderer.CycleRunning = true;
  renderer.Angle = 0;
  while (renderer.CycleRunning) {
    if (poses.size() == AnimationExport::MaxFrames) return std::nullopt;
    poses.push_back(renderer.Angle);
    renderer.Turn(settings);
    if (still) break;
  }
  return poses;
}

Result<> AnimationExport::WorkOutPoses() {
  std::optional<std::vector<double>> poses = CyclePoses(renderer_, settings_);
  if (!poses)
    return Failure{"Cannot export " + request_.OutputFileName + ": the cycle has more than " +
                   std::to_string(MaxFrames) + " frames."};
  poses_ = std::move(*poses);
  return {};
}

Result<> AnimationExport::TellFrameDrawn(int number, const Raster& frame) {
  if (Cancelled()) return CancelledFailure();
  ExportFrameCount = number;
  return host_.FrameDrawn(number, frame);
}

Failure AnimationExport::CancelledFailure() const {
  return {"The export of " + request_.OutputFileName + " was cancelled.", ECANCELED};
}

Failure AnimationExport::WriteFailure(const std::string& why) const {
  return {"Cannot write " + request_.OutputFileName + ": " + why};
}

int AnimationExport::FramesToWrite() const {
  return std::max(static_cast<int>(poses_.size()) - 1, 1);
}

std::size_t AnimationExport::FrameBytes() const {
  return static_cast<std::size_t>(surface_.Width()) * surface_.Height() * sizeof(ColourValue);
}

}  // namespace flinder
