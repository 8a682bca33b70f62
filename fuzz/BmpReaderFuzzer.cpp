// Any bytes given to the BMP reader end in a picture or a clean refusal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "image/BmpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const flinder::Result<flinder::Raster> picture = flinder::DecodeBmp(bytes);
  // A picture read must be whole, and writing it back must read back the same.
  if (picture) {
    if (picture->Pixels.size() != static_cast<std::size_t>(picture->Width) * picture->Height)
      std::abort();
    const flinder::Result<flinder::Raster> again = flinder::DecodeBmp(flinder::EncodeBmp(*picture));
    if (!again || *again != *picture) std::abort();
  }
  return 0;
}
