#include "image/PcxFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "gif/LittleEndian.h"
#include "image/ImageLimits.h"

namespace flinder {

namespace {

constexpr std::size_t HeaderSize = 128;
constexpr std::size_t PaletteSize = 1 + 768;  // the marker byte, then 256 colours
constexpr std::uint8_t PaletteMarker = 0x0C;
constexpr int LongestRun = 63;

int Word(std::string_view in, std::size_t at) {
  return static_cast<std::uint8_t>(in[at]) | static_cast<std::uint8_t>(in[at + 1]) << 8;
}

// A run of equal bytes: a count byte (0xC0 + length) and the value; a
// single byte below 0xC0 stands for itself.
void PutRun(std::string& out, std::uint8_t value, int length) {
  if (length > 1 || value >= 0xC0) out += static_cast<char>(0xC0 | length);
  out += static_cast<char>(value);
}

}  // namespace

std::optional<std::string> EncodePcx(const IndexedFrame& frame) {
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > 65535 || frame.Height > 65535 ||
      frame.Palette.size() > 256)
    return std::nullopt;
  // Rows are an even number of bytes long.
  const int bytesPerLine = frame.Width + (frame.Width & 1);
  std::string out;
  out += static_cast<char>(0x0A);  // ZSoft
  out += static_cast<char>(5);     // version 5: with a 256-colour palette
  out += static_cast<char>(1);     // run-length encoded
  out += static_cast<char>(8);     // bits per pixel of a plane
  for (int value : {0, 0, frame.Width - 1, frame.Height - 1, 72, 72}) AppendWord(out, value);
  out.append(48 + 1, '\0');     // the 16-colour palette and a reserved byte
  out += static_cast<char>(1);  // one plane
  AppendWord(out, bytesPerLine);
  AppendWord(out, 1);  // a colour palette
  out.append(HeaderSize - out.size(), '\0');

  for (int y = 0; y < frame.Height; ++y) {
    const std::uint8_t* row = &frame.Indexes[static_cast<std::size_t>(y) * frame.Width];
    auto at = [&](int x) { return x < frame.Width ? row[x] : std::uint8_t{0}; };
    for (int x = 0; x < bytesPerLine;) {
      const std::uint8_t value = at(x);
      int length = 1;
      while (x + length < bytesPerLine && length < LongestRun && at(x + length) == value) ++length;
      PutRun(out, value, length);
      x += length;
    }
  }
  out += static_cast<char>(PaletteMarker);
  for (std::size_t i = 0; i < 256; ++i) {
    const ColourValue colour = i < frame.Palette.size() ? frame.Palette[i] : 0;
    out += static_cast<char>(RedOf(colour));
    out += static_cast<char>(GreenOf(colour));
    out += static_cast<char>(BlueOf(colour));
  }
  return out;
}

std::optional<Raster> DecodePcx(std::string_view bytes) {
  if (bytes.size() < HeaderSize || bytes[0] != 0x0A || bytes[2] != 1 || bytes[3] != 8)
    return std::nullopt;
  const int left = Word(bytes, 4), top = Word(bytes, 6), right = Word(bytes, 8),
            bottom = Word(bytes, 10);
  const int planes = static_cast<std::uint8_t>(bytes[65]);
  const int bytesPerLine = Word(bytes, 66);
  if (right < left || bottom < top || (planes != 1 && planes != 3)) return std::nullopt;
  const int width = right - left + 1, height = bottom - top + 1;
  if (bytesPerLine < width) return std::nullopt;

  std::string_view data = bytes.substr(HeaderSize);
  if (planes == 1) {
    if (data.size() < PaletteSize ||
        static_cast<std::uint8_t>(data[data.size() - PaletteSize]) != PaletteMarker)
      return std::nullopt;
    data.remove_suffix(PaletteSize);
  }
  // Every two bytes of data give at most one run of 63: a header larger
  // than that is a damaged file, refused before anything is allocated.
  const std::uint64_t scanned = static_cast<std::uint64_t>(bytesPerLine) * planes * height;
  if (scanned > LongestRun * static_cast<std::uint64_t>(data.size()) ||
      !CheckPictureSize(width, height, bytes.size()))
    return std::nullopt;

  std::string decoded(scanned, '\0');
  std::size_t in = 0, out = 0;
  while (out < scanned) {
    if (in == data.size()) return std::nullopt;  // cut short
    auto value = static_cast<std::uint8_t>(data[in++]);
    std::size_t length = 1;
    if (value >= 0xC0) {
      if (in == data.size()) return std::nullopt;
      length = value & 0x3F;
      value = static_cast<std::uint8_t>(data[in++]);
    }
    // A run may go on into the next row; one past the picture ends it.
    length = std::min(length, scanned - out);
    std::fill_n(decoded.begin() + static_cast<std::ptrdiff_t>(out), length,
                static_cast<char>(value));
    out += length;
  }

  Raster raster(width, height);
  const auto* palette = reinterpret_cast<const std::uint8_t*>(bytes.data()) + bytes.size() - 768;
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const std::uint8_t*>(decoded.data()) +
                       static_cast<std::size_t>(y) * bytesPerLine * planes;
    ColourValue* pixel = &raster.At(0, y);
    for (int x = 0; x < width; ++x) {
      if (planes == 3) {
        pixel[x] = MakeColour(line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x]);
      } else {
        const std::uint8_t* c = palette + 3 * line[x];
        pixel[x] = MakeColour(c[0], c[1], c[2]);
      }
    }
  }
  return raster;
}

}  // namespace flinder
