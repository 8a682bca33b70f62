#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "export/IndexedFrame.h"
#include "render/Raster.h"

namespace flinder {

// The raster as a 24-bit uncompressed BMP file, rows stored bottom-up.
std::string EncodeBmp(const Raster& raster);

// The picture as an uncompressed BMP file of 8-bit palette indexes, rows
// stored bottom-up; nothing when it has no pixels or more than 256 colours.
std::optional<std::string> EncodeBmp8(const IndexedFrame& frame);

// The picture of an uncompressed 8-bit palette, 24- or 32-bit BMP file,
// bottom-up or top-down; nothing for any other kind of file or one that is
// cut short.
std::optional<Raster> DecodeBmp(std::string_view bytes);

}  // namespace flinder
