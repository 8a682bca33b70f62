#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace flinder {

// Appends the image data of a GIF image: the minimum code size byte, the
// variable-width LZW codes of `pixels` in sub-blocks of at most 255 bytes,
// and the empty block that ends them. Every pixel is below
// 2 ^ `minCodeSize`, which is 2 to 8. A coder that only wants the data if
// it is shorter than some other gives `giveUpAt`: once `out` has grown to
// that many bytes the coding stops, unfinished, and the result is false.
bool AppendLzwImageData(std::string& out, const std::uint8_t* pixels, std::size_t count,
                        int minCodeSize, std::size_t giveUpAt = SIZE_MAX);

}  // namespace flinder
