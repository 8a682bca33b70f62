#pragma once

#include <optional>
#include <string>

#include "export/IndexedFrame.h"

namespace flinder {

// The frame as a GIF file holding one image and a global colour table of the
// smallest power-of-two size that holds its palette; nothing when the frame
// cannot be encoded (no pixels, sides beyond 65535, more than 256 colours or
// an index outside the palette).
std::optional<std::string> EncodeGifFrame(const IndexedFrame& frame);

}  // namespace flinder
