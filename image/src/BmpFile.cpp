#include "image/BmpFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>

#include "image/ImageLimits.h"
#include "image/NewPicture.h"

namespace flinder {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::uint32_t UncompressedRgb = 0;
constexpr std::uint32_t RunLength8 = 1;
constexpr std::uint32_t BitFields = 3;  // 16- or 32-bit colours placed by masks
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

// A palette picture's colours by index; indexes past its colours give
// NoColour, which no colour equals.
using Palette = std::array<ColourValue, 256>;
constexpr ColourValue NoColour = -1;

// An 8-bit run-length encoded picture, rows bottom-up: pairs of a count and
// an index, or after a zero count the end of a row (0), of the picture (1),
// a move right and up (2, dx, dy), or that many indexes as they are (3 to
// 255, padded to an even length). Pixels the codes skip keep the colour of
// index 0, as `picture` comes; pixels past the end of a row are dropped, as
// other readers drop them (encoders that code the padding of a row write
// them), and the picture ends with its last pixel. False when the codes are
// damaged.
bool ExpandRunLength8(ByteReader& in, const Palette& palette, Raster& picture) {
  const std::int64_t width = picture.Width, rows = picture.Height;
  std::int64_t x = 0, row = 0;
  // Where the next of `count` pixels go, and how many of them fit.
  auto span = [&](int count) -> std::pair<ColourValue*, std::int64_t> {
    const std::int64_t kept = std::clamp<std::int64_t>(width - x, 0, count);
    if (kept == 0) return {nullptr, 0};
    ColourValue* at = &picture.At(static_cast<int>(x), static_cast<int>(rows - 1 - row));
    x += kept;
    return {at, kept};
  };
  while (row < rows && (row < rows - 1 || x < width)) {
    const int count = in.Next(), value = in.Next();
    if (value < 0) return false;  // cut short
    if (count > 0) {
      if (palette[value] == NoColour) return false;
      const auto [out, kept] = span(count);
      std::fill_n(out, kept, palette[value]);
    } else if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      const int dx = in.Next(), dy = in.Next();
      if (dy < 0) return false;
      x += dx;
      row += dy;
    } else {
      const std::uint8_t* indexes = in.Take(static_cast<std::size_t>(value + value % 2));
      if (!indexes) return false;
      const auto [out, kept] = span(value);
      ColourValue seen = 0;
      for (std::int64_t i = 0; i < kept; ++i) seen |= out[i] = palette[indexes[i]];
      if (seen == NoColour) return false;
    }
  }
  return true;
}

// A colour component of a 16- or 32-bit pixel, as its mask gives it: its
// lowest bit and how many bits it has, 1 to 8.
struct Component {
  int Shift = 0;
  int Bits = 8;
};
using Components = std::array<Component, 3>;  // red, green, blue
// Without masks: 5 bits each in 16 bits, blue lowest; bytes in 32.
constexpr Components Rgb555 = {{{10, 5}, {5, 5}, {0, 5}}}, Rgb888 = {{{16, 8}, {8, 8}, {0, 8}}};

// A component scaled to 0 to 255 as other readers scale it: rounded down.
int Scaled(std::uint32_t pixel, Component component) {
  const std::uint32_t top = (1u << component.Bits) - 1;
  return static_cast<int>((pixel >> component.Shift & top) * 255 / top);
}

// One stored row of `width` pixels: 1-, 4- or 8-bit palette indexes, which
// fill each byte from its highest bits; 24-bit colours as blue, green and
// red; or 16- or 32-bit ones made of `components`. False for an index past
// the palette.
bool ConvertRow(const std::uint8_t* in, int bitsPerPixel, const Palette& palette,
                const Components& components, int width, ColourValue* out) {
  ColourValue seen = 0;  // NoColour has every bit set
  const auto [red, green, blue] = components;
  auto wholeByte = [](Component component) {
    return component.Bits == 8 && component.Shift % 8 == 0;
  };
  const bool bytes = wholeByte(red) && wholeByte(green) && wholeByte(blue);
  switch (bitsPerPixel) {
    case 8:
      for (int x = 0; x < width; ++x) seen |= out[x] = palette[in[x]];
      break;
    case 24:
      for (int x = 0; x < width; ++x, in += 3) out[x] = MakeColour(in[2], in[1], in[0]);
      break;
    case 32:
      if (bytes) {
        for (int x = 0; x < width; ++x, in += 4)
          out[x] = MakeColour(in[red.Shift / 8], in[green.Shift / 8], in[blue.Shift / 8]);
        break;
      }
      for (int x = 0; x < width; ++x, in += 4) {
        const std::uint32_t pixel = in[0] | in[1] << 8 | in[2] << 16 | std::uint32_t{in[3]} << 24;
        out[x] = MakeColour(Scaled(pixel, red), Scaled(pixel, green), Scaled(pixel, blue));
      }
      break;
    case 16:
      for (int x = 0; x < width; ++x, in += 2) {
        const std::uint32_t pixel = in[0] | in[1] << 8;
        out[x] = MakeColour(Scaled(pixel, red), Scaled(pixel, green), Scaled(pixel, blue));
      }
      break;
    default:
      for (int x = 0, bit = 0; x < width; ++x, bit += bitsPerPixel) {
        const unsigned index =
            in[bit / 8] >> (8 - bitsPerPixel - bit % 8) & ((1u << bitsPerPixel) - 1);
        seen |= out[x] = palette[index];
      }
  }
  return seen != NoColour;
}

// The components of a 16- or 32-bit picture from its colour masks, which
// follow the info header's first 40 bytes; nothing unless each is 1 to 8
// bits in one piece, inside the pixel.
std::optional<Components> ComponentsOfMasks(const ImageBytes& bytes, int bitsPerPixel) {
  char masks[12];
  if (!bytes.Read(FileHeaderSize + InfoHeaderSize, masks, sizeof masks)) return std::nullopt;
  Components components;
  for (int i = 0; i < 3; ++i) {
    const std::uint32_t mask = GetLittleEndian(std::string_view(masks, sizeof masks), 4 * i, 4);
    const int shift = mask ? std::countr_zero(mask) : 0, bits = std::popcount(mask);
    if (bits < 1 || bits > 8 || mask >> shift != (1u << bits) - 1 || shift + bits > bitsPerPixel)
      return std::nullopt;
    components[i] = {shift, bits};
  }
  return components;
}

constexpr std::string_view FormatName = "BMP";

Failure Unreadable() {
  return NotReadable(FormatName);
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

Result<Raster> DecodeBmp(const ImageBytes& bytes) {
  char headers[FileHeaderSize + InfoHeaderSize];
  if (!bytes.Read(0, headers, sizeof headers)) return Unreadable();
  const std::string_view head(headers, sizeof headers);
  if (head.substr(0, 2) != "BM") return Unreadable();
  std::uint32_t dataOffset = GetLittleEndian(head, 10, 4);
  std::uint32_t headerSize = GetLittleEndian(head, 14, 4);
  // The core header of the oldest format is not read; later, longer info
  // headers start with the same fields.
  if (headerSize < InfoHeaderSize || headerSize > bytes.Size() - FileHeaderSize)
    return Unreadable();
  auto width = static_cast<std::int32_t>(GetLittleEndian(head, 18, 4));
  auto height = static_cast<std::int32_t>(GetLittleEndian(head, 22, 4));
  std::uint32_t planes = GetLittleEndian(head, 26, 2);
  int bitsPerPixel = static_cast<int>(GetLittleEndian(head, 28, 2));
  std::uint32_t compression = GetLittleEndian(head, 30, 4);
  const bool indexed = bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
  const bool runLength = compression == RunLength8 && bitsPerPixel == 8 && height > 0;
  const bool masked = compression == BitFields && (bitsPerPixel == 16 || bitsPerPixel == 32);
  if (planes != 1 || (!indexed && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) ||
      (compression != UncompressedRgb && !runLength && !masked))
    return Unreadable();
  Components components = bitsPerPixel == 16 ? Rgb555 : Rgb888;
  if (masked) {
    const std::optional<Components> inMasks = ComponentsOfMasks(bytes, bitsPerPixel);
    if (!inMasks) return Unreadable();
    components = *inMasks;
  }
  // A palette picture's colours follow the info header: as many as it says,
  // or all its indexes can reach.
  std::uint32_t colours = indexed ? GetLittleEndian(head, 46, 4) : 0;
  if (indexed && colours == 0) colours = 1u << bitsPerPixel;
  if (colours > 256 || 4 * colours > bytes.Size() - FileHeaderSize - headerSize)
    return Unreadable();
  const std::size_t paletteAt = FileHeaderSize + headerSize;
  std::uint8_t entries[4 * 256];
  if (!bytes.Read(paletteAt, entries, 4 * colours)) return Unreadable();
  Palette palette;
  palette.fill(NoColour);
  for (std::uint32_t i = 0; i < colours; ++i)
    palette[i] = MakeColour(entries[4 * i + 2], entries[4 * i + 1], entries[4 * i]);

  std::int64_t rows = std::llabs(static_cast<std::int64_t>(height));
  if (Result<> fits = CheckPictureSize(width, rows, bytes.Size(), FormatName); !fits)
    return fits.Error();
  if (dataOffset < paletteAt + 4 * colours || dataOffset > bytes.Size()) return Unreadable();
  ByteReader in(bytes, dataOffset);
  if (runLength) {
    Raster picture = NewPicture(width, static_cast<int>(rows), palette[0]);
    if (!ExpandRunLength8(in, palette, picture)) return Unreadable();
    return picture;
  }
  Raster picture = NewPicture(width, static_cast<int>(rows));
  const auto stride = static_cast<std::size_t>(RowStride(width, bitsPerPixel));
  for (std::int64_t row = 0; row < rows; ++row) {
    const std::uint8_t* stored = in.Take(stride);
    const std::int64_t y = height > 0 ? rows - 1 - row : row;  // bottom-up or top-down
    if (!stored || !ConvertRow(stored, bitsPerPixel, palette, components, width,
                               &picture.At(0, static_cast<int>(y))))
      return Unreadable();
  }
  return picture;
}

}  // namespace flinder
