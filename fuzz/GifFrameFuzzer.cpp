// Any bytes given to the merger's frame-file parser end in a frame block or a
// clean refusal, without reading outside the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gif/AnimatedGIF.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  flinder::AnimatedGIF merger;
  merger.ResetMergeState(0, 0, 10);
  std::optional<std::string> block = merger.ReadGifFile(bytes, true);
  // A block is built from the file's bytes plus at most a palette and a few
  // header bytes per pass; it never grows without bound.
  if (block && block->size() > 2 * size + 2048) std::abort();
  if (block) merger.ReadGifFile(bytes, false);
  return 0;
}
