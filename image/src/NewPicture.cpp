#include "image/NewPicture.h"

#include <sys/mman.h>

#include <cstdint>

namespace flinder {

Raster NewPicture(int width, int height, ColourValue fill) {
  constexpr std::uintptr_t HugePage = std::uintptr_t{1} << 21;
  Raster picture;
  picture.Width = width;
  picture.Height = height;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  // Reserved memory is not touched yet; the advice must come before it is.
  picture.Pixels.reserve(pixels);
  const auto start = reinterpret_cast<std::uintptr_t>(picture.Pixels.data());
  const std::uintptr_t first = (start + HugePage - 1) & ~(HugePage - 1),
                       last = (start + pixels * sizeof(ColourValue)) & ~(HugePage - 1);
  if (first < last) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  picture.Pixels.resize(pixels, fill);
  return picture;
}

}  // namespace flinder
