#pragma once

namespace flinder {

// libwebp and zlib take and clear large work buffers for every frame. Above
// its mmap threshold glibc serves each from fresh pages, which the kernel
// zeroes first, and hands them back at once: on the sample designs that was
// a third of an export's time. Called once before encoding, this keeps such
// blocks on the heap to be used again.
void ReuseWorkBuffers();

}  // namespace flinder
