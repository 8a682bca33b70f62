#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/Result.h"
#include "gif/IndexedFrame.h"
#include "image/ImageBytes.h"
#include "render/Raster.h"

namespace flinder {

// The picture as a PNG file with a palette, not interlaced; nothing when
// libpng cannot write it.
std::optional<std::string> EncodePng(const IndexedFrame& frame);

// The picture of a PNG file of any colour type (grey, palette or true
// colour; 16-bit components cut to their high byte; an alpha channel is
// dropped, keeping each pixel's colour); NotReadable for a damaged file or
// an index past the palette.
Result<Raster> DecodePng(const ImageBytes& bytes);

}  // namespace flinder
