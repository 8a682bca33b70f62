#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/Result.h"
#include "gif/IndexedFrame.h"
#include "image/ImageBytes.h"
#include "render/Raster.h"

namespace flinder {

// The picture as a ZSoft PCX file of version 5: one 8-bit plane of palette
// indexes, run-length encoded row by row, and the 256-colour palette at the
// end. Nothing when the picture is empty or larger than 65535 pixels a side.
std::optional<std::string> EncodePcx(const IndexedFrame& frame);

// The picture of a run-length encoded PCX file of 8 bits per plane, one
// plane with the 256-colour palette at the end or three planes of red,
// green and blue, or of one plane of 1 bit, black and white; NotReadable
// for any other kind of file or a damaged one.
Result<Raster> DecodePcx(const ImageBytes& bytes);

}  // namespace flinder
