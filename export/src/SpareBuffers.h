#pragma once

#include <mutex>
#include <utility>
#include <vector>

namespace flinder {

// The memory of frames already taken, handed back to the workers for the
// next ones: a fresh buffer of a frame's size costs the system's page faults
// every time, a spare one only the copy into it. Holds as many buffers as
// were ever given and not taken again, which the frames in flight bound.
template <typename Buffer>
class SpareBuffers {
 public:
  // A spare buffer, or an empty one when there is none.
  Buffer Take() {
    std::lock_guard lock(mutex_);
    if (spare_.empty()) return Buffer();
    Buffer buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
  }
  void Give(Buffer buffer) {
    std::lock_guard lock(mutex_);
    spare_.push_back(std::move(buffer));
  }

 private:
  std::mutex mutex_;
  std::vector<Buffer> spare_;
};

}  // namespace flinder
