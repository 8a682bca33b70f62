// The GIF side of the export: every frame is drawn and its colours counted
// before the palette can be chosen; the frames kept meanwhile (as runs of
// equal pixels) are then mapped to it and encoded.
#include <cerrno>
#include <memory>

#include "EncodeFrames.h"
#include "ExportOutput.h"
#include "FrameBudget.h"
#include "FrameWorker.h"
#include "SpareBuffers.h"
#include "animation/GifAnimationEncoder.h"
#include "animation/MergedGifEncoder.h"
#include "export/AnimationExport.h"
#include "gif/AnimationPalette.h"
#include "gif/ColourRuns.h"

namespace flinder {

// The frames of the cycle as the palette is chosen from them.
struct AnimationExport::GifCycle {
  AnimationPalette Palette;
  // The frames drawn, as runs; empty where they would pass KeptFrameBytes.
  std::vector<ColourRuns> Kept;
};

namespace {

// A frame as drawn: its pixels for the host, its runs to keep, and who drew it.
struct DrawnFrame {
  Raster Pixels;
  ColourRuns Runs;
  int Worker = -1;
};

}  // namespace

// Frames share one palette: a frame file that stores only changes (an
// optimised export, or a transparent design, whose vanishing pixels must be
// cleared) comes from the encoder that compares each frame with the one
// before; otherwise every frame is a whole one-frame GIF, merged in order.
Result<> AnimationExport::WriteGif(ExportOutput& output) {
  GifCycle cycle;
  std::vector<FrameWorker> workers;
  if (Result<> drawn = DrawCycle(cycle, workers); !drawn) return drawn;
  if (Cancelled()) return CancelledFailure();  // asked at the last frame drawn
  AnimationPalette& palette = cycle.Palette;
  palette.Build();
  exact_ = palette.Exact();
  const bool changes = request_.Optimise || settings_.Transparent;
  std::unique_ptr<AnimationEncoder<IndexedFrame>> encoder;
  const auto delay = static_cast<std::uint16_t>(gifDelay_);
  const int loopCount = request_.Loop.GifLoopCount();
  if (changes) {
    palette.OrderByUse();
    encoder = std::make_unique<GifAnimationEncoder>(surface_.Width(), surface_.Height(),
                                                    palette.Colours(), palette.TransparentIndex(),
                                                    request_.Optimise, delay, loopCount);
  } else {
    encoder =
        std::make_unique<MergedGifEncoder>(surface_.Width(), surface_.Height(), delay, loopCount);
  }

  const int frames = FramesToWrite();
  FrameSource<IndexedFrame> source;
  source.Make = [&](int worker, int number) {
    FrameWorker& own = workers[static_cast<std::size_t>(worker)];
    ColourRuns& kept = cycle.Kept[static_cast<std::size_t>(number - 1)];
    MadeFrame<IndexedFrame> made;
    if (kept.Runs.empty())
      palette.Map(own.Draw(poses_[static_cast<std::size_t>(number - 1)], settings_),
                  made.ForEncoder);
    else
      palette.Map(std::exchange(kept, ColourRuns()), made.ForEncoder);
    return made;
  };
  source.Write = [&](std::string_view bytes) { return output.Write(bytes); };
  source.Added = [&](int added) { host_.FramesConverted(added, frames); };
  source.Stop = request_.Stop;
  source.Cancelled = CancelledFailure();
  if (Result<> encoded =
          EncodeFrames(*encoder, frames, OrderedFramePool(static_cast<int>(workers.size())), source);
      !encoded)
    return encoded.Error().Errno == ECANCELED ? encoded : WriteFailure(encoded.Message());
  framesWritten_ = frames;
  return {};
}

// The first frame is drawn here, from the surface as the export found it;
// every later one starts from the drawing state a frame leaves, so the
// workers' surfaces are copies of this one after it. A worker hands its
// picture over whole and draws the next frame on a spare one. The host gets
// the frames in order, and the surface ends with the closing frame's picture.
Result<> AnimationExport::DrawCycle(GifCycle& cycle, std::vector<FrameWorker>& workers) {
  const int frames = static_cast<int>(poses_.size());
  const bool changes = request_.Optimise || settings_.Transparent;
  cycle.Kept.assign(poses_.size(), ColourRuns());
  std::size_t keptBytes = 0;
  ColourRuns unkept;  // the frame before, when it was not kept
  const ColourRuns* previous = nullptr;
  int closingWorker = -1;
  Raster closing;
  Result<> result;

  auto take = [&](int number, DrawnFrame&& frame) {
    if (Cancelled()) {  // the frame may not have been drawn
      result = CancelledFailure();
      return false;
    }
    cycle.Palette.AddFrame(frame.Runs);
    if (changes && previous) cycle.Palette.AddChanges(*previous, frame.Runs);
    // The first frame is always kept: no worker can draw it again.
    ColourRuns& kept = cycle.Kept[static_cast<std::size_t>(number - 1)];
    if (number == 1 || keptBytes + frame.Runs.Bytes() <= request_.KeptFrameBytes) {
      keptBytes += frame.Runs.Bytes();
      kept = std::move(frame.Runs);
      previous = &kept;
    } else {
      unkept = std::move(frame.Runs);
      previous = &unkept;
    }
    if (number == frames) closingWorker = frame.Worker;
    result = TellFrameDrawn(number, frame.Pixels);
    return result.Ok();
  };

  FrameWorker first(surface_, renderer_);
  ColourRuns runs = first.Draw(poses_[0], settings_);
  surface_ = std::move(first.Surface);
  if (!take(1, {surface_.Capture(), std::move(runs), -1})) return result;

  // A worker holds its surface and the frames it has in flight, as pixels and as runs.
  const OrderedFramePool pool(UsefulWorkers(request_.Workers, 4 * FrameBytes()));
  for (int w = 0; w < pool.Workers(); ++w) workers.emplace_back(surface_.OwnCopy(), renderer_);
  SpareBuffers<Raster> spare;
  pool.Run<DrawnFrame>(
      frames - 1,
      [&](int worker, int n) {
        if (Cancelled()) return DrawnFrame();  // its take ends the cycle
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
  if (result && closingWorker >= 0) {
    surface_ = workers[static_cast<std::size_t>(closingWorker)].Surface;
    surface_.SwapPicture(closing);
  }
  return result;
}

}  // namespace flinder
