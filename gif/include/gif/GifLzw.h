#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace flinder {

// Appends the image data of a GIF image: the minimum code size byte, the
// variable-width LZW codes of `pixels` in sub-blocks of at most 255 bytes,
// and the empty block that ends them. Every pixel is below
// 2 ^ `minCodeSize`, which is 2 to 8.
void AppendLzwImageData(std::string& out, const std::uint8_t* pixels, std::size_t count,
                        int minCodeSize);

}  // namespace flinder
