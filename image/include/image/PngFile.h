#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gif/IndexedFrame.h"
#include "render/Raster.h"

namespace flinder {

// The picture as a PNG file with a palette, not interlaced; nothing when
// libpng cannot write it.
std::optional<std::string> EncodePng(const IndexedFrame& frame);

// The picture of a PNG file of any colour type (grey, palette or true
// colour; 16-bit components scaled to 8 as they are; an alpha channel is
// dropped, keeping each pixel's colour); nothing for a damaged file or an
// index past the palette. Throws PictureTooLarge for a picture beyond the
// limits of ImageLimits.h.
std::optional<Raster> DecodePng(std::string_view bytes);

}  // namespace flinder
