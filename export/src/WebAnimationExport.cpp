// The WebP and APNG side of the export.
#include <functional>

#include "FrameBudget.h"
#include "FrameWorker.h"
#include "animation/ApngEncoder.h"
#include "animation/WebpEncoder.h"
#include "export/AnimatedGifExport.h"
#include "export/OrderedFramePool.h"
#include "render/RgbaRaster.h"

namespace flinder {
namespace {

using FrameWorker = AnimatedGifExport::FrameWorker;

// A frame as drawn, for the host, and as the file shows it.
struct DrawnFrame {
  Raster Drawn;
  RgbaRaster Pixels;
};

DrawnFrame Draw(FrameWorker& worker, double pose, const ShapeSettings& settings) {
  const Raster& picture = worker.DrawAt(pose, settings);
  return {picture, StraightRgba(picture)};
}

// Draws frames 2 to `frames` at their poses and has `encoder` take them, the
// first frame and the workers given. A stretch of frames is drawn on every
// core, then encoded on every core, so that few frames are held at a time;
// `drawn` tells the host of each frame in order and may stop the export.
template <typename Encoder>
ExportResult DrawAndEncode(Encoder& encoder, int frames, std::vector<FrameWorker>& workers,
                           const std::vector<double>& poses, const ShapeSettings& settings,
                           ExportHost& host,
                           const std::function<ExportResult(int, const Raster&)>& drawn) {
  const OrderedFramePool pool(static_cast<int>(workers.size()));
  const int stretch = pool.Workers() * 4;
  ExportResult stopped = ExportResult::Success();
  for (int first = 2; first <= frames; first += stretch) {
    const int count = std::min(stretch, frames - first + 1);
    std::vector<typename Encoder::Frame> prepared;
    prepared.reserve(static_cast<std::size_t>(count));
    const bool allDrawn = pool.Run<DrawnFrame>(
        count,
        [&](int worker, int i) {
          return Draw(workers[static_cast<std::size_t>(worker)],
                      poses[static_cast<std::size_t>(first + i - 2)], settings);
        },
        [&](int i, DrawnFrame&& frame) {
          stopped = drawn(first + i - 1, frame.Drawn);
          if (!stopped.Ok) return false;
          prepared.push_back(encoder.Prepare(frame.Pixels));
          return true;
        });
    if (!allDrawn) return stopped;
    pool.Run<int>(
        count,
        [&](int, int i) {
          encoder.Encode(prepared[static_cast<std::size_t>(i - 1)]);
          return i;
        },
        [&](int i, int) {
          encoder.Add(std::move(prepared[static_cast<std::size_t>(i - 1)]));
          host.FramesConverted(first + i - 1, frames);
          return true;
        });
  }
  return ExportResult::Success();
}

}  // namespace

// The poses are worked out. Every frame is drawn once, on a surface that
// keeps the coverage real alpha needs; the closing frame, which repeats the
// first pose, is left out and not drawn.
ExportResult AnimatedGifExport::EncodeWebAnimation(ExportFormat format) {
  const int frames = std::max(static_cast<int>(poses_.size()) - 1, 1);
  const AnimationTiming timing{DelayMilliseconds(settings_.SliderVal(Delay)), Loop.Plays()};
  if (format == ExportFormat::Webp && timing.Plays > WebpEncoder::MaxPlays)
    host_.ShowNote("A WebP file plays at most " + std::to_string(WebpEncoder::MaxPlays) +
                   " times, so this one says that many.");

  FrameWorker first(surface_, renderer_);
  first.Surface.SetKeepCoverage(settings_.Transparent);
  DrawnFrame drawnFirst = Draw(first, poses_[0], settings_);
  surface_ = std::move(first.Surface);
  surface_.SetKeepCoverage(false);
  std::vector<FrameWorker> workers;
  // A worker holds its surface, the frames it has in flight as drawn and in
  // straight alpha, its four of a stretch, and what the encoder works in.
  const OrderedFramePool pool(UsefulWorkers(Workers, 12 * FrameBytes()));
  for (int w = 0; w < pool.Workers(); ++w) {
    workers.emplace_back(surface_.OwnCopy(), renderer_);
    workers.back().Surface.SetKeepCoverage(settings_.Transparent);
  }

  auto drawn = [this](int number, const Raster& frame) { return TellFrameDrawn(number, frame); };
  ExportResult result = drawn(1, drawnFirst.Drawn);
  if (!result.Ok) return result;
  std::string bytes;
  auto encode = [&](auto& encoder) {
    auto frame = encoder.Prepare(drawnFirst.Pixels);
    drawnFirst = DrawnFrame();  // not needed again
    encoder.Encode(frame);
    encoder.Add(std::move(frame));
    host_.FramesConverted(1, frames);
    result = DrawAndEncode(encoder, frames, workers, poses_, settings_, host_, drawn);
    if (result.Ok) bytes = encoder.Finish();
  };
  if (format == ExportFormat::Webp) {
    WebpEncoder encoder(surface_.Width(), surface_.Height(), timing);
    encode(encoder);
  } else {
    ApngEncoder encoder(surface_.Width(), surface_.Height(), timing);
    encode(encoder);
  }
  if (!result.Ok) return result;
  framesWritten_ = frames;
  // The window shows the cycle's frame count as a GIF export leaves it, the
  // closing frame counted though it was not drawn.
  ExportFrameCount = static_cast<int>(poses_.size());
  return WriteFinishedFile(bytes);
}

}  // namespace flinder
