#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <vector>

#include "animation/AnimationEncoder.h"
#include "export/OrderedFramePool.h"
#include "files/Result.h"
#include "render/Raster.h"

namespace flinder {

// A frame made for the encoder, with the picture as drawn when the host is
// to see it.
template <typename Pixels>
struct MadeFrame {
  Pixels ForEncoder;
  Raster Drawn;
};

// What the loop needs besides the encoder: how a frame is made (on any
// worker), what is told of each in order before the encoder takes it, where
// the file's bytes go, and what is told as frames join the file.
template <typename Pixels>
struct FrameSource {
  std::function<MadeFrame<Pixels>(int worker, int number)> Make;
  std::function<Result<>(int number, const Raster& drawn)> Made;
  std::function<bool(std::string_view bytes)> Write;
  std::function<void(int added)> Added;
  std::stop_token Stop;
  Failure Cancelled;
};

// Drives `encoder` through frames 1 to `frames`, a stretch at a time so that
// few frames are held at once: the stretch's pixels are made on every
// worker and prepared in order, then encoded on every worker and added in
// order, the file's bytes written as they come. Once a stop is asked it
// ends at the next frame made or added, with the failure given for it;
// false from Write ends it too (the output then says why).
template <typename Pixels>
Result<> EncodeFrames(AnimationEncoder<Pixels>& encoder, int frames, const OrderedFramePool& pool,
                      const FrameSource<Pixels>& source) {
  using Frame = typename AnimationEncoder<Pixels>::Frame;
  const int stretch = pool.Workers() * 4;
  Result<> ended;
  int added = 0;
  auto add = [&](std::unique_ptr<Frame> frame) {
    if (source.Stop.stop_requested()) {
      ended = source.Cancelled;
      return false;
    }
    if (Result<> done = encoder.Add(std::move(frame)); !done) {
      ended = done;
      return false;
    }
    source.Added(++added);
    const std::string bytes = encoder.TakeBytes();
    return bytes.empty() || source.Write(bytes);
  };
  for (int first = 1; first <= frames; first += stretch) {
    const int count = std::min(stretch, frames - first + 1);
    std::vector<std::unique_ptr<Frame>> prepared;
    prepared.reserve(static_cast<std::size_t>(count));
    const bool made = pool.Run<MadeFrame<Pixels>>(
        count,
        [&](int worker, int i) {
          // A frame asked for after a stop is not worth making.
          if (source.Stop.stop_requested()) return MadeFrame<Pixels>();
          return source.Make(worker, first + i - 1);
        },
        [&](int i, MadeFrame<Pixels>&& frame) {
          if (source.Stop.stop_requested()) {
            ended = source.Cancelled;
            return false;
          }
          if (source.Made) ended = source.Made(first + i - 1, frame.Drawn);
          if (!ended) return false;
          if (std::unique_ptr<Frame> encoded = encoder.Prepare(std::move(frame.ForEncoder)))
            prepared.push_back(std::move(encoded));
          return true;
        });
    if (!made) return ended;
    const bool written = pool.Run<int>(
        static_cast<int>(prepared.size()),
        [&](int, int i) {
          if (!source.Stop.stop_requested())
            encoder.Encode(*prepared[static_cast<std::size_t>(i - 1)]);
          return i;
        },
        [&](int i, int) { return add(std::move(prepared[static_cast<std::size_t>(i - 1)])); });
    if (!written) return ended;
  }
  Result<std::string> rest = encoder.Finish();
  if (!rest) return rest.Error();
  if (added < frames) source.Added(frames);
  source.Write(*rest);
  return {};
}

}  // namespace flinder
