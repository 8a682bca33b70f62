// The WebP and APNG side of the export: every frame is drawn once, on a
// surface that keeps the coverage real alpha needs, and goes straight to the
// encoder; the closing frame, which repeats the first pose, is not drawn.
#include <cerrno>
#include <memory>

#include "EncodeFrames.h"
#include "ExportOutput.h"
#include "FrameBudget.h"
#include "FrameWorker.h"
#include "animation/ApngEncoder.h"
#include "animation/WebpEncoder.h"
#include "export/AnimationExport.h"
#include "render/RgbaRaster.h"

namespace flinder {

Result<> AnimationExport::WriteWebAnimation(ExportOutput& output) {
  const int frames = FramesToWrite();
  const AnimationTiming timing{DelayMilliseconds(settings_.SliderVal(Delay)), request_.Loop.Plays()};
  const bool webp = request_.Format == ExportFormat::Webp;
  if (webp && timing.Plays > WebpEncoder::MaxPlays)
    host_.ShowNote("A WebP file plays at most " + std::to_string(WebpEncoder::MaxPlays) +
                   " times, so this one says that many.");

  FrameWorker first(surface_, renderer_);
  first.Surface.SetKeepCoverage(settings_.Transparent);
  const Raster& picture = first.DrawAt(poses_[0], settings_);
  MadeFrame<RgbaRaster> drawnFirst{StraightRgba(picture), picture};
  surface_ = std::move(first.Surface);
  surface_.SetKeepCoverage(false);
  // A worker holds its surface, the frames it has in flight as drawn and in
  // straight alpha, its four of a stretch, and what the encoder works in.
  std::vector<FrameWorker> workers;
  const OrderedFramePool pool(UsefulWorkers(request_.Workers, 12 * FrameBytes()));
  for (int w = 0; w < pool.Workers(); ++w) {
    workers.emplace_back(surface_.OwnCopy(), renderer_);
    workers.back().Surface.SetKeepCoverage(settings_.Transparent);
  }
  std::unique_ptr<AnimationEncoder<RgbaRaster>> encoder;
  if (webp)
    encoder = std::make_unique<WebpEncoder>(surface_.Width(), surface_.Height(), timing);
  else
    encoder = std::make_unique<ApngEncoder>(surface_.Width(), surface_.Height(), timing);

  // The host hears of each frame as drawn, in order, before the encoder
  // takes it; its failure, like a cancel, is the export's as it stands.
  FrameSource<RgbaRaster> source;
  source.Make = [&](int worker, int number) {
    if (number == 1) return std::move(drawnFirst);
    const Raster& frame = workers[static_cast<std::size_t>(worker)].DrawAt(
        poses_[static_cast<std::size_t>(number - 1)], settings_);
    return MadeFrame<RgbaRaster>{StraightRgba(frame), frame};
  };
  bool told = true;
  source.Made = [&](int number, const Raster& frame) {
    Result<> drawn = TellFrameDrawn(number, frame);
    told = drawn.Ok();
    return drawn;
  };
  source.Write = [&](std::string_view bytes) { return output.Write(bytes); };
  source.Added = [&](int added) { host_.FramesConverted(added, frames); };
  source.Stop = request_.Stop;
  source.Cancelled = CancelledFailure();
  if (Result<> encoded = EncodeFrames(*encoder, frames, pool, source); !encoded)
    return !told || encoded.Error().Errno == ECANCELED ? encoded : WriteFailure(encoded.Message());
  framesWritten_ = frames;
  // The window shows the cycle's frame count as a GIF export leaves it, the
  // closing frame counted though it was not drawn.
  ExportFrameCount = static_cast<int>(poses_.size());
  return {};
}

}  // namespace flinder
