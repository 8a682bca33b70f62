#include "InjectedFaults.h"

#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace flinder::InjectedFaults {
namespace {

std::atomic<long> counted{0}, failAt{0};
std::atomic<std::size_t> largest{0};
std::atomic<pthread_t> spared{};

void* Allocate(std::size_t size) {
  const long n = counted.fetch_add(1, std::memory_order_relaxed) + 1;
  long target = failAt.load(std::memory_order_relaxed);
  if (target == n && failAt.compare_exchange_strong(target, 0)) throw std::bad_alloc();
  const std::size_t limit = largest.load(std::memory_order_relaxed);
  if (limit != 0 && size >= limit && !pthread_equal(pthread_self(), spared.load()))
    throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::size_t DefaultStack(std::size_t bytes = 0) {
  pthread_attr_t attributes;
  pthread_getattr_default_np(&attributes);
  std::size_t was = 0;
  pthread_attr_getstacksize(&attributes, &was);
  if (bytes != 0 && pthread_attr_setstacksize(&attributes, bytes) == 0)
    pthread_setattr_default_np(&attributes);
  pthread_attr_destroy(&attributes);
  return was;
}

}  // namespace

void FailAllocation(long n) {
  failAt = 0;
  counted = 0;
  failAt = n;
}

long Allocations() {
  return counted;
}

void FailLargeAllocations(std::size_t bytes) {
  spared = pthread_self();
  largest = bytes;
}

// A stack so large that no mapping for it succeeds.
NoThreadStarts::NoThreadStarts() : normalStack_(DefaultStack(std::size_t{1} << 46)) {}

NoThreadStarts::~NoThreadStarts() {
  DefaultStack(normalStack_);
}

}  // namespace flinder::InjectedFaults

// Every allocation by new goes through the counter, and every release
// matches it, the sanitizers' checks included.
void* operator new(std::size_t size) {
  return flinder::InjectedFaults::Allocate(size);
}
void* operator new[](std::size_t size) {
  return flinder::InjectedFaults::Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return flinder::InjectedFaults::AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return flinder::InjectedFaults::AllocateOrNull(size);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
