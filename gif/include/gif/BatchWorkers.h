#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace flinder {

// A few threads that work through one batch of jobs at a time while the
// thread that gave the batch goes on with other work. They stay for as long
// as this lives, so whatever memory a thread keeps for its jobs (its
// thread_local buffers) serves every batch.
class BatchWorkers {
 public:
  explicit BatchWorkers(int threads);
  ~BatchWorkers();  // Stop()
  BatchWorkers(const BatchWorkers&) = delete;
  BatchWorkers& operator=(const BatchWorkers&) = delete;

  // Runs job(i) for i = 0 to count - 1 on the threads, in any order; the
  // batch before must have been waited for.
  void Start(std::size_t count, std::function<void(std::size_t)> job);
  // Returns once every job of the batch has run; the first exception a job
  // threw is thrown here.
  void Wait();

 private:
  void Work();
  // Waits for the batch, then ends the threads.
  void Stop();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void(std::size_t)> job_;
  std::size_t count_ = 0, next_ = 0, running_ = 0;
  bool stopping_ = false;
  std::exception_ptr error_;
  std::vector<std::jthread> threads_;
};

}  // namespace flinder
