// Any bytes given to an image reader end in a whole picture or a clean
// refusal: no crash, no leak, nothing printed. Run with -rss_limit_mb=1024
// -timeout=5, so that a file that takes too much memory or time is a finding. FLINDER_DECODER names
// the reader; its header is FLINDER_DECODER_HEADER.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include FLINDER_DECODER_HEADER

namespace {

std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char byte : bytes) crc = table[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

constexpr std::string_view PngSignature = "\x89PNG\r\n\x1A\n";

// Nearly every change the fuzzer makes to a PNG file breaks the checksum
// that ends a chunk, and libpng refuses the file before it looks further:
// the checksums are made right again, so that the changes reach the reader.
void MendPngChecksums(std::vector<char>& bytes) {
  for (std::size_t at = PngSignature.size(); bytes.size() - at >= 12;) {
    const auto byte = [&](std::size_t i) { return std::uint32_t{std::uint8_t(bytes[at + i])}; };
    const std::uint32_t length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
    if (length > bytes.size() - at - 12) return;
    const std::uint32_t crc = Crc32(std::string_view(&bytes[at + 4], 4 + length));
    for (int i = 0; i < 4; ++i) bytes[at + 8 + length + i] = static_cast<char>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // A copy of exactly the input's size, so that reading past its end is
  // still caught.
  std::vector<char> mended;
  if (bytes.starts_with(PngSignature)) {
    mended.assign(bytes.begin(), bytes.end());
    MendPngChecksums(mended);
    bytes = std::string_view(mended.data(), mended.size());
  }
  // A picture refused says why; one read must be whole.
  const flinder::Result<flinder::Raster> picture = flinder::FLINDER_DECODER(bytes);
  if (picture &&
      (picture->Width <= 0 || picture->Height <= 0 ||
       picture->Pixels.size() != static_cast<std::size_t>(picture->Width) * picture->Height))
    std::abort();
  return 0;
}
