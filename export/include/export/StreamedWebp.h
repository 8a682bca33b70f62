#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "animation/AnimationTiming.h"
#include "files/Result.h"
#include "render/Raster.h"

namespace flinder {

// A WebP file made from the frames another export draws: they are handed
// over in order as they are drawn and encoded as they come, on threads of
// its own, so that one drawing of the cycle serves both files. The file is
// written like an export's output: put in place by Finish alone.
class StreamedWebp {
 public:
  // `frames` frames of `width` x `height` into `path`, encoded on `workers`
  // threads (0: one per core), fewer where their frames would not fit the
  // budget a WebP export keeps to.
  StreamedWebp(std::string path, int width, int height, AnimationTiming timing, int frames,
               int workers);
  // An unfinished file is abandoned: nothing of it stays.
  ~StreamedWebp();
  StreamedWebp(const StreamedWebp&) = delete;
  StreamedWebp& operator=(const StreamedWebp&) = delete;

  // Hands the next frame over, waiting while a few wait to be encoded;
  // false once the encoding has failed (Finish says why).
  bool Add(const Raster& frame);
  // Waits for every frame to be encoded and puts the file in place; gives
  // its bytes. Call once, after the last frame.
  Result<std::uintmax_t> Finish();

 private:
  Result<std::uintmax_t> Encode();
  // Frame `number`, once it has been handed over; empty once abandoned.
  Raster Take(int number);

  std::string path_;
  int width_, height_;
  AnimationTiming timing_;
  int frames_, workers_;
  std::stop_source abandon_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Raster> waiting_;  // handed over; those taken are empty
  int firstWaiting_ = 1;            // the number of waiting_.front()
  bool ended_ = false;              // the encoding has finished or failed
  Result<std::uintmax_t> result_{0};
  std::thread thread_;
};

}  // namespace flinder
