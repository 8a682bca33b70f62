#include "animation/WorkBuffers.h"

#include <malloc.h>

#include <mutex>

namespace flinder {

void ReuseWorkBuffers() {
  static std::once_flag once;
  std::call_once(once, [] {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);  // the most glibc takes
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
  });
}

}  // namespace flinder
