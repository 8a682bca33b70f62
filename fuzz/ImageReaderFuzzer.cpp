// Any bytes given to an image reader end in a whole picture or a clean
// refusal: no crash, no leak, nothing printed. FLINDER_DECODER names the
// reader; its header is FLINDER_DECODER_HEADER.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include FLINDER_DECODER_HEADER

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::optional<flinder::Raster> picture = flinder::FLINDER_DECODER(bytes);
  if (picture &&
      (picture->Width <= 0 || picture->Height <= 0 ||
       picture->Pixels.size() != static_cast<std::size_t>(picture->Width) * picture->Height))
    std::abort();
  return 0;
}
