#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/Result.h"
#include "image/ImageBytes.h"
#include "render/Raster.h"

namespace flinder {

// The picture as a baseline JPEG file of 24-bit colour at `quality` (1 to
// 100); nothing when libjpeg cannot write it.
std::optional<std::string> EncodeJpeg(const Raster& raster, int quality);

// The picture of a grey or colour JPEG file; NotReadable for a damaged or
// truncated one, or one in a colour space libjpeg cannot turn into RGB.
Result<Raster> DecodeJpeg(const ImageBytes& bytes);

}  // namespace flinder
