#pragma once

#include <cstddef>
#include <cstdint>

namespace flinder {

// The largest picture a reader takes from a file of `fileSize` bytes: 16384
// pixels a side, 64 M pixels in all (256 MiB as colour values), and no more
// than 4096 pixels a byte, beyond what the compression of any of the six
// formats reaches. A file that says it is larger is refused before anything
// is allocated for it.
constexpr bool WithinPictureLimits(std::int64_t width, std::int64_t height, std::size_t fileSize) {
  return width > 0 && height > 0 && width <= 16384 && height <= 16384 &&
         width * height <= (std::int64_t{1} << 26) &&
         static_cast<std::uint64_t>(width * height) <= 4096 * static_cast<std::uint64_t>(fileSize);
}

}  // namespace flinder
