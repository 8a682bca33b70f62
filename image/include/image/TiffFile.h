#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/Result.h"
#include "gif/IndexedFrame.h"
#include "image/ImageBytes.h"
#include "render/Raster.h"

namespace flinder {

// The picture as a TIFF file of one page: 8-bit palette indexes, compressed
// with `compression` (a libtiff COMPRESSION_ value: 5 is LZW); nothing when
// libtiff cannot write it.
std::optional<std::string> EncodeTiff(const IndexedFrame& frame, int compression);

// The first page of a TIFF file of any kind libtiff turns into RGBA (an
// alpha channel is dropped); NotReadable for a damaged or truncated one.
Result<Raster> DecodeTiff(const ImageBytes& bytes);

}  // namespace flinder
