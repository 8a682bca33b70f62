#pragma once

#include <string_view>

#include "files/Result.h"
#include "image/ImageBytes.h"
#include "render/Raster.h"

namespace flinder {

// The first image of a GIF file in its own colours (a transparent index
// shows its palette colour); NotReadable for a file without an image or a
// damaged one.
Result<Raster> DecodeGifImage(const ImageBytes& bytes);

}  // namespace flinder
