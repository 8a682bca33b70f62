#pragma once

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace flinder {

// Makes the frames of an animation on every core and hands them over in
// frame order. Frames are independent once their pose is known, so a job for
// frame n may run on any worker, before or after its neighbours; the results
// are taken one by one, 1, 2, 3 ..., on the thread that called Run, which is
// the only thread to tell a host anything. Memory stays bounded whatever the
// number of frames: besides the frame being taken, at most Workers() x
// InFlightPerWorker frames are being made or wait to be taken.
//
//   OrderedFramePool pool;                       // one worker per core
//   std::vector<Context> contexts(pool.Workers());  // each worker's own copies
//   bool done = pool.Run<Frame>(count,
//       [&](int worker, int n) { return Draw(contexts[worker], n); },  // any worker
//       [&](int n, Frame&& frame) { return Write(frame); });          // in order
class OrderedFramePool {
 public:
  static constexpr int InFlightPerWorker = 2;

  // `workers` threads make the frames; 0 means one per core.
  explicit OrderedFramePool(int workers = 0)
      : workers_(workers > 0 ? workers
                             : std::max(1, static_cast<int>(std::thread::hardware_concurrency()))) {}

  int Workers() const { return workers_; }

  // Calls make(worker, n) for n = 1 to count on the workers, where `worker`
  // (0 to Workers() - 1) names the calling worker, so that a job can use that
  // worker's own copies of what it draws with; a worker runs one job at a
  // time. Calls take(n, result) here, in order of n. When take returns
  // false, no further job starts, none is taken, and Run returns false once
  // the running jobs have ended; otherwise true after the last take. An
  // exception from a job is thrown here at that frame's turn, after the
  // frames before it were taken.
  template <typename Result, typename Make, typename Take>
  bool Run(int count, Make make, Take take) const;

 private:
  int workers_;
};

template <typename Result, typename Make, typename Take>
bool OrderedFramePool::Run(int count, Make make, Take take) const {
  struct Slot {
    std::optional<Result> Value;
    std::exception_ptr Error;
    bool Ready = false;
  };
  const int window = workers_ * InFlightPerWorker;
  std::vector<Slot> slots(static_cast<std::size_t>(window));
  std::mutex mutex;
  std::condition_variable changed;
  int nextJob = 1, nextTake = 1;
  bool stopping = false;

  auto work = [&](int worker) {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return stopping || nextJob > count || nextJob < nextTake + window; });
      if (stopping || nextJob > count) return;
      const int n = nextJob++;
      lock.unlock();
      Slot made;
      try {
        made.Value.emplace(make(worker, n));
      } catch (...) {
        made.Error = std::current_exception();
      }
      made.Ready = true;
      lock.lock();
      slots[static_cast<std::size_t>(n % window)] = std::move(made);
      changed.notify_all();
    }
  };

  std::vector<std::jthread> threads;
  const int started = std::min(workers_, count);
  threads.reserve(static_cast<std::size_t>(std::max(started, 0)));
  auto stop = [&] {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    changed.notify_all();
    threads.clear();  // joins
  };
  try {
    for (int w = 0; w < started; ++w) threads.emplace_back(work, w);
  } catch (...) {
    stop();
    throw;
  }

  for (int n = 1; n <= count; ++n) {
    Slot taken;
    {
      std::unique_lock lock(mutex);
      Slot& slot = slots[static_cast<std::size_t>(n % window)];
      changed.wait(lock, [&] { return slot.Ready; });
      taken = std::move(slot);
      slot = Slot();
      nextTake = n + 1;
    }
    changed.notify_all();
    if (taken.Error) {
      stop();
      std::rethrow_exception(taken.Error);
    }
    bool goOn = false;
    try {
      goOn = take(n, std::move(*taken.Value));
    } catch (...) {
      stop();
      throw;
    }
    if (!goOn) {
      stop();
      return false;
    }
  }
  stop();
  return true;
}

}  // namespace flinder
