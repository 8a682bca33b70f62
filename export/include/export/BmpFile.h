#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "render/Raster.h"

namespace flinder {

// The raster as a 24-bit uncompressed BMP file, rows stored bottom-up.
std::string EncodeBmp(const Raster& raster);

// The picture of an uncompressed 24- or 32-bit BMP file, bottom-up or
// top-down; nothing for any other kind of file or one that is cut short.
std::optional<Raster> DecodeBmp(std::string_view bytes);

}  // namespace flinder
