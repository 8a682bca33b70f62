#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/Result.h"

namespace flinder {

// The largest picture a reader takes: 16384 pixels a side, 64 M pixels in
// all (256 MiB as colour values), and no more than 4096 pixels for each
// byte of its file, beyond what the compression of any of the six formats
// reaches.
constexpr std::int64_t MaxPictureSide = 16384;
constexpr std::int64_t MaxPicturePixels = std::int64_t{1} << 26;
constexpr std::uint64_t MaxPixelsPerByte = 4096;
// The largest image file read: a 24-bit BMP of the largest picture fits.
constexpr std::uint64_t MaxImageFileSize = std::uint64_t{256} << 20;
// The most a library may allocate in one piece for a reader (a TIFF strip
// or tile, say), however small the picture it belongs to.
constexpr std::uint64_t MaxReaderAllocation = std::uint64_t{64} << 20;

// Why a reader (DecodeBmp, DecodePng ...) gives no picture: the file is not
// one of its `format` ("BMP", as the user knows it) that it reads, or is
// damaged.
Failure NotReadable(std::string_view format);

// Refuses a size that is not positive (a damaged header) as NotReadable,
// and a picture beyond the limits above with the figure and the limit,
// before anything is allocated for it.
Result<> CheckPictureSize(std::int64_t width, std::int64_t height, std::size_t fileSize,
                          std::string_view format);
// Refuses what `what` needs when it is more than MaxReaderAllocation.
Result<> CheckReaderAllocation(const char* what, std::uint64_t bytes);

}  // namespace flinder
