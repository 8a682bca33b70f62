#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gif/IndexedFrame.h"

namespace flinder {

// The frame as a GIF file holding one image and a global colour table of the
// smallest power-of-two size that holds its palette; nothing when the frame
// cannot be encoded (no pixels, sides beyond 65535, more than 256 colours or
// an index outside the palette).
std::optional<std::string> EncodeGifFrame(const IndexedFrame& frame);

// Appends the logical screen descriptor and a global colour table holding
// `palette` (1 to 256 colours), padded to the smallest power of two of at
// least 2 entries; gives that power's exponent, the table's bits.
int AppendScreenAndTable(std::string& out, int width, int height,
                         const std::vector<ColourValue>& palette, int background);

}  // namespace flinder
