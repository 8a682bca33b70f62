// The WebP and APNG side of the export.
#include <exception>
#include <functional>

#include "animation/ApngEncoder.h"
#include "animation/WebpEncoder.h"
#include "design/FileAccess.h"
#include "export/AnimatedGifExport.h"
#include "export/OrderedFramePool.h"
#include "render/RgbaRaster.h"

namespace flinder {
namespace {

// One worker's own copies of what frames are drawn with.
struct Painter {
  DrawingSurface Surface;
  FrameRenderer Renderer;
};

struct DrawnFrame {
  Raster Drawn;
  RgbaRaster Pixels;
};

DrawnFrame Draw(DrawingSurface& surface, FrameRenderer& renderer, const ShapeSettings& settings) {
  renderer.DrawFrame(surface, settings);
  return {surface.Capture(), StraightRgba(surface.Capture())};
}

// Draws frames 2 to `frames` and has `encoder` take them, frame 1 and its
// painters given: a stretch of frames is drawn on every core, then encoded on
// every core, so that few frames are held at a time. The rotation before each
// frame is worked out beforehand, and every frame after the first starts
// with the pen the first one left: that is all a frame takes from the one
// before it, so each is drawn once, on any core.
template <typename Encoder>
ExportResult DrawAndEncode(Encoder& encoder, int frames, std::vector<Painter>& painters,
                           const std::vector<double>& startAngles, const ShapeSettings& settings,
                           ExportHost& host,
                           const std::function<ExportResult(int, const Raster&)>& drawn) {
  const OrderedFramePool pool(static_cast<int>(painters.size()));
  const int stretch = pool.Workers() * 4;
  ExportResult stopped = ExportResult::Success();
  for (int first = 2; first <= frames; first += stretch) {
    const int count = std::min(stretch, frames - first + 1);
    std::vector<typename Encoder::Frame> prepared;
    prepared.reserve(static_cast<std::size_t>(count));
    const bool allDrawn = pool.Run<DrawnFrame>(
        count,
        [&](int worker, int i) {
          Painter& painter = painters[static_cast<std::size_t>(worker)];
          painter.Renderer.Angle = startAngles[static_cast<std::size_t>(first + i - 3)];
          return Draw(painter.Surface, painter.Renderer, settings);
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
          Encoder::Encode(prepared[static_cast<std::size_t>(i - 1)]);
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

ExportResult AnimatedGifExport::EncodeWebAnimation(ExportFormat format) {
  // Without a turn the cycle never completes: one still frame is the picture.
  const bool still = settings_.SliderVal(Speed) == 0 || settings_.SliderVal(Sides) < 3;
  const int cycle = still ? 1 : FramesInCycle(settings_, MaxFrames + 1);
  if (cycle > MaxFrames)
    return ExportResult::Failure("Cannot export " + OutputFileName + ": the cycle has more than " +
                                 std::to_string(MaxFrames) + " frames.");
  // The closing frame repeats the first pose: it is left out, and not drawn.
  const int frames = std::max(cycle - 1, 1);
  const AnimationTiming timing{DelayMilliseconds(settings_.SliderVal(Delay)), Loop.Plays()};
  if (format == ExportFormat::Webp && timing.Plays > WebpEncoder::MaxPlays)
    host_.ShowNote("A WebP file plays at most " + std::to_string(WebpEncoder::MaxPlays) +
                   " times, so this one says that many.");

  FrameRenderer ahead = renderer_;
  ahead.SetObserver(nullptr);
  ahead.Angle = 0;
  std::vector<double> startAngles;  // of frames 2 to `frames`
  ahead.SkipFrame(settings_);
  for (int n = 2; n <= frames; ++n) {
    startAngles.push_back(ahead.Angle);
    ahead.SkipFrame(settings_);
  }

  surface_.SetKeepCoverage(settings_.Transparent);
  renderer_.CycleRunning = true;
  renderer_.Angle = 0;
  const DrawnFrame first = Draw(surface_, renderer_, settings_);
  std::vector<Painter> painters(static_cast<std::size_t>(OrderedFramePool().Workers()));
  for (Painter& painter : painters) {
    painter.Surface = surface_.OwnCopy();
    painter.Renderer = renderer_;
    painter.Renderer.SetObserver(nullptr);
  }
  surface_.SetKeepCoverage(false);
  // The preview goes on from where the cycle ends.
  for (int n = 2; n <= cycle; ++n) renderer_.SkipFrame(settings_);

  ExportFrameCount = 0;
  auto drawn = [&](int number, const Raster& frame) {
    ExportFrameCount = number;
    ExportResult told = host_.FrameDrawn(number, frame);
    if (!told.Ok && told.Message.empty())
      told.Message = "Cannot write " + OutputFileName + ": the export was stopped.";
    return told;
  };
  std::string bytes;
  try {
    ExportResult result = drawn(1, first.Drawn);
    auto encode = [&](auto& encoder) {
      encoder.Add([&] {
        auto frame = encoder.Prepare(first.Pixels);
        encoder.Encode(frame);
        return frame;
      }());
      host_.FramesConverted(1, frames);
      if (result.Ok)
        result = DrawAndEncode(encoder, frames, painters, startAngles, settings_, host_, drawn);
      if (result.Ok) bytes = encoder.Finish();
    };
    if (!result.Ok) return result;
    if (format == ExportFormat::Webp) {
      WebpEncoder encoder(surface_.Width(), surface_.Height(), timing);
      encode(encoder);
    } else {
      ApngEncoder encoder(surface_.Width(), surface_.Height(), timing);
      encode(encoder);
    }
    if (!result.Ok) return result;
  } catch (const std::exception& e) {
    return ExportResult::Failure("Cannot write " + OutputFileName + ": " + e.what());
  }
  framesWritten_ = frames;
  ShowFinishedCaption();
  // A picture can be made again: replaced whole, but not flushed to the disk.
  std::string error = ReplaceFile(OutputFileName, bytes, false);
  if (!error.empty()) return ExportResult::Failure("Cannot write " + OutputFileName + ": " + error);
  return ExportResult::Success();
}

}  // namespace flinder
