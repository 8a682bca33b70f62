#include "gif/BatchWorkers.h"

#include <algorithm>
#include <utility>

namespace flinder {

BatchWorkers::BatchWorkers(int threads) {
  try {
    for (int t = 0; t < std::max(threads, 1); ++t) threads_.emplace_back([this] { Work(); });
  } catch (...) {
    Stop();  // a thread that could not start ends those that did
    throw;
  }
}

BatchWorkers::~BatchWorkers() {
  Stop();
}

void BatchWorkers::Stop() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return next_ == count_ && running_ == 0; });
    stopping_ = true;
  }
  changed_.notify_all();
  threads_.clear();  // joins
}

void BatchWorkers::Start(std::size_t count, std::function<void(std::size_t)> job) {
  {
    std::lock_guard lock(mutex_);
    job_ = std::move(job);
    count_ = count;
    next_ = 0;
  }
  changed_.notify_all();
}

void BatchWorkers::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return next_ == count_ && running_ == 0; });
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void BatchWorkers::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return stopping_ || next_ < count_; });
    if (stopping_) return;
    const std::size_t i = next_++;
    ++running_;
    lock.unlock();
    std::exception_ptr error;
    try {
      job_(i);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    if (error && !error_) error_ = error;
    if (--running_ == 0 && next_ == count_) changed_.notify_all();
  }
}

}  // namespace flinder
