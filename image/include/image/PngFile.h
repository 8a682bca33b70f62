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
// colour; an alpha channel is dropped); nothing for a damaged file.
std::optional<Raster> DecodePng(std::string_view bytes);

}  // namespace flinder
