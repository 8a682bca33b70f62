#include "image/BmpFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "image/ImageLimits.h"

namespace flinder {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::uint32_t UncompressedRgb = 0;
constexpr std::uint32_t RunLength8 = 1;
constexpr std::int64_t MaxSide = 32767;

// Writes `value` over the next `bytes` bytes at `out` and moves past them.
void PutLittleEndian(char*& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) *out++ = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetLittleEndian(std::string_view in, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(in[at + i]);
  return value;
}

// Rows are padded to whole 32-bit words.
std::int64_t RowStride(std::int64_t width, int bitsPerPixel) {
  return (width * bitsPerPixel + 31) / 32 * 4;
}

// The file and info headers of an uncompressed picture; the pixels follow
// `paletteSize` colours of four bytes.
std::string BmpHeaders(int width, int height, int bitsPerPixel, std::uint32_t paletteSize) {
  const auto imageSize = static_cast<std::uint32_t>(RowStride(width, bitsPerPixel) * height);
  const std::uint32_t dataOffset = FileHeaderSize + InfoHeaderSize + 4 * paletteSize;
  std::string headers(dataOffset, '\0');
  char* out = headers.data();
  *out++ = 'B';
  *out++ = 'M';
  PutLittleEndian(out, dataOffset + imageSize, 4);
  PutLittleEndian(out, 0, 4);  // reserved
  PutLittleEndian(out, dataOffset, 4);
  PutLittleEndian(out, InfoHeaderSize, 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(width), 4);
  PutLittleEndian(out, static_cast<std::uint32_t>(height), 4);
  PutLittleEndian(out, 1, 2);  // planes
  PutLittleEndian(out, static_cast<std::uint32_t>(bitsPerPixel), 2);
  PutLittleEndian(out, UncompressedRgb, 4);
  PutLittleEndian(out, imageSize, 4);
  PutLittleEndian(out, 2835, 4);  // 72 dots per inch, as pixels per metre
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, paletteSize, 4);  // colours used
  PutLittleEndian(out, 0, 4);
  return headers;
}

// The rows of an 8-bit run-length encoded picture as they would be stored
// uncompressed: pairs of a count and an index, or after a zero count the
// end of a row (0), of the picture (1), a move right and up (2, dx, dy), or
// that many indexes as they are (3 to 255, padded to an even length).
// Pixels the codes skip keep index 0. Nothing when the codes are damaged.
std::optional<std::string> ExpandRunLength8(std::string_view data, std::int64_t width,
                                            std::int64_t rows, std::int64_t stride) {
  std::string pixels(static_cast<std::size_t>(stride * rows), '\0');
  std::int64_t x = 0, row = 0;
  std::size_t at = 0;
  auto next = [&]() -> int {
    return at < data.size() ? static_cast<std::uint8_t>(data[at++]) : -1;
  };
  auto put = [&](int index) {
    if (x >= width || row >= rows) return false;
    pixels[static_cast<std::size_t>(row * stride + x++)] = static_cast<char>(index);
    return true;
  };
  for (;;) {
    const int count = next(), value = next();
    if (count < 0 || value < 0) return std::nullopt;  // cut short
    if (count > 0) {
      for (int i = 0; i < count; ++i)
        if (!put(value)) return std::nullopt;
    } else if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      return pixels;
    } else if (value == 2) {
      const int dx = next(), dy = next();
      if (dx < 0 || dy < 0) return std::nullopt;
      x += dx;
      row += dy;
    } else {
      for (int i = 0; i < value; ++i)
        if (const int index = next(); index < 0 || !put(index)) return std::nullopt;
      if (value % 2 != 0 && next() < 0) return std::nullopt;
    }
  }
}

}  // namespace

std::string EncodeBmp(const Raster& raster) {
  const std::int64_t stride = RowStride(raster.Width, 24);
  std::string file = BmpHeaders(raster.Width, raster.Height, 24, 0);
  // Zero-filled, so the row padding needs no writing.
  const std::size_t headers = file.size();
  file.resize(headers + static_cast<std::size_t>(stride * raster.Height));
  char* out = file.data() + headers;
  for (int y = raster.Height - 1; y >= 0; --y) {
    char* pixel = out;
    const ColourValue* row = raster.Pixels.data() + static_cast<std::size_t>(y) * raster.Width;
    for (int x = 0; x < raster.Width; ++x, pixel += 3) {
      pixel[0] = static_cast<char>(BlueOf(row[x]));
      pixel[1] = static_cast<char>(GreenOf(row[x]));
      pixel[2] = static_cast<char>(RedOf(row[x]));
    }
    out += stride;
  }
  return file;
}

std::optional<std::string> EncodeBmp8(const IndexedFrame& frame) {
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > MaxSide || frame.Height > MaxSide ||
      frame.Palette.empty() || frame.Palette.size() > 256 ||
      frame.Indexes.size() != static_cast<std::size_t>(frame.Width) * frame.Height)
    return std::nullopt;
  const auto colours = static_cast<std::uint32_t>(frame.Palette.size());
  std::string file = BmpHeaders(frame.Width, frame.Height, 8, colours);
  char* entry = file.data() + FileHeaderSize + InfoHeaderSize;
  for (ColourValue colour : frame.Palette) {
    *entry++ = static_cast<char>(BlueOf(colour));
    *entry++ = static_cast<char>(GreenOf(colour));
    *entry++ = static_cast<char>(RedOf(colour));
    *entry++ = '\0';
  }
  const std::int64_t stride = RowStride(frame.Width, 8);
  for (int y = frame.Height - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(stride), '\0');
    std::copy_n(&frame.Indexes[static_cast<std::size_t>(y) * frame.Width], frame.Width,
                row.begin());
    file += row;
  }
  return file;
}

std::optional<Raster> DecodeBmp(std::string_view bytes) {
  if (bytes.size() < FileHeaderSize + InfoHeaderSize || bytes.substr(0, 2) != "BM")
    return std::nullopt;
  std::uint32_t dataOffset = GetLittleEndian(bytes, 10, 4);
  std::uint32_t headerSize = GetLittleEndian(bytes, 14, 4);
  // The core header of the oldest format is not read; later, longer info
  // headers start with the same fields.
  if (headerSize < InfoHeaderSize || headerSize > bytes.size() - FileHeaderSize)
    return std::nullopt;
  auto width = static_cast<std::int32_t>(GetLittleEndian(bytes, 18, 4));
  auto height = static_cast<std::int32_t>(GetLittleEndian(bytes, 22, 4));
  std::uint32_t planes = GetLittleEndian(bytes, 26, 2);
  int bitsPerPixel = static_cast<int>(GetLittleEndian(bytes, 28, 2));
  std::uint32_t compression = GetLittleEndian(bytes, 30, 4);
  const bool indexed = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
  const bool runLength = compression == RunLength8 && bitsPerPixel == 8 && height > 0;
  if (planes != 1 || (!indexed && bitsPerPixel != 24 && bitsPerPixel != 32) ||
      (compression != UncompressedRgb && !runLength))
    return std::nullopt;
  // A palette picture's colours follow the info header: as many as it says,
  // or all its indexes can reach.
  std::uint32_t colours = indexed ? GetLittleEndian(bytes, 46, 4) : 0;
  if (indexed && colours == 0) colours = 1u << bitsPerPixel;
  if (colours > 256 || 4 * colours > bytes.size() - FileHeaderSize - headerSize)
    return std::nullopt;
  const std::size_t paletteAt = FileHeaderSize + headerSize;

  std::int64_t rows = std::llabs(static_cast<std::int64_t>(height));
  if (!CheckPictureSize(width, rows, bytes.size())) return std::nullopt;
  std::int64_t stride = RowStride(width, bitsPerPixel);
  if (dataOffset < paletteAt + 4 * colours || dataOffset > bytes.size()) return std::nullopt;
  std::optional<std::string> expanded;
  std::string_view stored = bytes.substr(dataOffset);
  if (runLength) {
    expanded = ExpandRunLength8(stored, width, rows, stride);
    if (!expanded) return std::nullopt;
    stored = *expanded;
  }
  if (static_cast<std::int64_t>(stored.size()) < stride * rows) return std::nullopt;

  Raster raster(width, static_cast<int>(rows));
  bool bottomUp = height > 0;
  const auto* file = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (int row = 0; row < rows; ++row) {
    const auto* in = reinterpret_cast<const std::uint8_t*>(stored.data()) + row * stride;
    int y = bottomUp ? static_cast<int>(rows) - 1 - row : row;
    ColourValue* out = raster.Pixels.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* c = in + x * (bitsPerPixel / 8);
      if (indexed) {
        // Indexes fill each byte from its highest bits.
        const int bit = x * bitsPerPixel;
        const unsigned index =
            in[bit / 8] >> (8 - bitsPerPixel - bit % 8) & ((1u << bitsPerPixel) - 1);
        if (index >= colours) return std::nullopt;
        c = file + paletteAt + 4 * index;
      }
      out[x] = MakeColour(c[2], c[1], c[0]);
    }
  }
  return raster;
}

}  // namespace flinder
