#pragma once

#include <optional>
#include <string_view>

#include "image/ImageBytes.h"
#include "render/Raster.h"

namespace flinder {

// The first image of a GIF file in its own colours (a transparent index
// shows its palette colour); nothing for a file without an image or a
// damaged one.
std::optional<Raster> DecodeGifImage(const ImageBytes& bytes);

}  // namespace flinder
