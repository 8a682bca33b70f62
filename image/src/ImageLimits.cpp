#include "image/ImageLimits.h"

#include <string>

namespace flinder {

Failure NotReadable(std::string_view format) {
  return {"not a " + std::string(format) + " file of a kind this program reads, or damaged"};
}

Result<> CheckPictureSize(std::int64_t width, std::int64_t height, std::size_t fileSize,
                          std::string_view format) {
  if (width <= 0 || height <= 0) return NotReadable(format);
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width > MaxPictureSide || height > MaxPictureSide || width * height > MaxPicturePixels)
    return Failure{"the picture is too large: " + size + ", where at most " +
                   std::to_string(MaxPictureSide) + " a side and " +
                   std::to_string(MaxPicturePixels) + " in all are read"};
  if (static_cast<std::uint64_t>(width * height) > MaxPixelsPerByte * fileSize)
    return Failure{"the picture is too large for its file: " + size + " in " +
                   std::to_string(fileSize) + " bytes, where at most " +
                   std::to_string(MaxPixelsPerByte) + " pixels a byte are read"};
  return {};
}

Result<> CheckReaderAllocation(const char* what, std::uint64_t bytes) {
  if (bytes <= MaxReaderAllocation) return {};
  return Failure{std::string("the picture is too large: ") + what + " of " + std::to_string(bytes) +
                 " bytes, where at most " + std::to_string(MaxReaderAllocation) +
                 " are read in one piece"};
}

}  // namespace flinder
