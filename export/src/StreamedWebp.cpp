#include "export/StreamedWebp.h"

#include <cerrno>
#include <utility>

#include "EncodeFrames.h"
#include "ExportOutput.h"
#include "FrameBudget.h"
#include "animation/WebpEncoder.h"

namespace flinder {
namespace {

// Frames handed over but not yet encoded: enough to keep every encoding
// thread busy, few enough that a slow encoder holds the drawing back.
constexpr std::size_t MaxWaitingPerWorker = 6;

}  // namespace

StreamedWebp::StreamedWebp(std::string path, int width, int height, AnimationTiming timing,
                           int frames, int workers)
    : path_(std::move(path)),
      width_(width),
      height_(height),
      timing_(timing),
      frames_(frames),
      // As a WebP export's: the frames in flight fit the export's budget.
      workers_(UsefulWorkers(workers, 12 * static_cast<std::size_t>(width) * height *
                                          sizeof(ColourValue))),
      thread_([this] {
        Result<std::uintmax_t> result{0};
        try {
          result = Encode();
        } catch (const std::exception& e) {
          result = Failure{"Cannot write " + path_ + ": " + e.what()};
        }
        std::lock_guard lock(mutex_);
        result_ = std::move(result);
        ended_ = true;
        changed_.notify_all();
      }) {}

StreamedWebp::~StreamedWebp() {
  abandon_.request_stop();
  {
    std::lock_guard lock(mutex_);
    changed_.notify_all();
  }
  thread_.join();
}

bool StreamedWebp::Add(const Raster& frame) {
  Raster pixels = frame;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] {
    return ended_ || waiting_.size() < MaxWaitingPerWorker * static_cast<std::size_t>(workers_);
  });
  if (ended_) return result_.Ok();
  waiting_.push_back(std::move(pixels));
  changed_.notify_all();
  return true;
}

Raster StreamedWebp::Take(int number) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] {
    return abandon_.stop_requested() || firstWaiting_ + static_cast<int>(waiting_.size()) > number;
  });
  if (abandon_.stop_requested()) return {};
  // Frames are taken in order of their numbers within a stretch, but not
  // always one after the other in time: each stays until its turn.
  Raster frame = std::move(waiting_[static_cast<std::size_t>(number - firstWaiting_)]);
  waiting_[static_cast<std::size_t>(number - firstWaiting_)] = Raster();
  while (!waiting_.empty() && waiting_.front().Pixels.empty()) {
    waiting_.pop_front();
    ++firstWaiting_;
  }
  changed_.notify_all();
  return frame;
}

Result<std::uintmax_t> StreamedWebp::Encode() {
  WebpEncoder encoder(width_, height_, timing_);
  ExportOutput output(path_);
  FrameSource<RgbaRaster> source;
  // Each frame's alpha is worked out on the encoding threads.
  source.Make = [&](int, int number) {
    return MadeFrame<RgbaRaster>{StraightRgba(Take(number)), {}};
  };
  source.Write = [&](std::string_view bytes) { return output.Write(bytes); };
  source.Added = [](int) {};
  source.Stop = abandon_.get_token();
  source.Cancelled = Failure{"The export of " + path_ + " was cancelled.", ECANCELED};
  if (Result<> encoded = EncodeFrames(encoder, frames_, OrderedFramePool(workers_), source);
      !encoded)
    return encoded.Error();
  if (abandon_.stop_requested()) return source.Cancelled;
  if (Result<> committed = output.Commit(); !committed)
    return Failure{"Cannot write " + path_ + ": " + committed.Message()};
  return output.BytesWritten();
}

Result<std::uintmax_t> StreamedWebp::Finish() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return ended_; });
  return result_;
}

}  // namespace flinder
