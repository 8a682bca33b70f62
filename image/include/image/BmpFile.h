#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/Result.h"
#include "gif/IndexedFrame.h"
#include "image/ImageBytes.h"
#include "render/Raster.h"

namespace flinder {

// The raster as a 24-bit uncompressed BMP file, rows stored bottom-up.
std::string EncodeBmp(const Raster& raster);

// The picture as an uncompressed BMP file of 8-bit palette indexes, rows
// stored bottom-up; nothing when it has no pixels or more than 256 colours.
std::optional<std::string> EncodeBmp8(const IndexedFrame& frame);

// The picture of a BMP file of 1-, 4- or 8-bit palette indexes (8-bit ones
// also run-length encoded) or 16-, 24- or 32-bit colour (16 and 32 also
// placed by colour masks), bottom-up or top-down; NotReadable for any other
// kind of file or one that is cut short.
Result<Raster> DecodeBmp(const ImageBytes& bytes);

}  // namespace flinder
