#pragma once

#include <cstddef>

namespace flinder::InjectedFaults {

// Failures made on purpose while an export runs, as a machine short of
// memory or of threads would make them. A program that links this file has
// its operator new counted; nothing fails until a test asks.

// Allocation number `n` from now on, on whatever thread it falls, throws
// std::bad_alloc, once; 0 fails none. Counting starts again at every call.
void FailAllocation(long n);
// The allocations made since the last FailAllocation.
long Allocations();

// Allocations of at least `bytes` on any thread but the calling one throw
// std::bad_alloc until this is called again with 0.
void FailLargeAllocations(std::size_t bytes);

// For as long as it lives, no thread can start: std::thread and QThread
// fail as they do when the system has no room for another stack.
class NoThreadStarts {
 public:
  NoThreadStarts();
  ~NoThreadStarts();
  NoThreadStarts(const NoThreadStarts&) = delete;
  NoThreadStarts& operator=(const NoThreadStarts&) = delete;

 private:
  std::size_t normalStack_ = 0;
};

}  // namespace flinder::InjectedFaults
