#include "image/PcxFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gif/LittleEndian.h"
#include "image/ImageLimits.h"
#include "image/NewPicture.h"

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

constexpr std::string_view FormatName = "PCX";

Failure Unreadable() {
  return NotReadable(FormatName);
}

}  // namespace

std::optional<std::string> EncodePcx(const IndexedFrame& frame) {
  // Rows are an even number of bytes long, a count the header holds in a
  // 16-bit word: 65535 pixels would need 65536.
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > 65534 || frame.Height > 65535 ||
      frame.Palette.size() > 256)
    return std::nullopt;
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

Result<Raster> DecodePcx(const ImageBytes& bytes) {
  char headerBytes[HeaderSize];
  if (!bytes.Read(0, headerBytes, HeaderSize)) return Unreadable();
  const std::string_view header(headerBytes, HeaderSize);
  const int bits = header[3];
  if (header[0] != 0x0A || header[2] != 1 || (bits != 8 && bits != 1)) return Unreadable();
  const int left = Word(header, 4), top = Word(header, 6), right = Word(header, 8),
            bottom = Word(header, 10);
  const int planes = static_cast<std::uint8_t>(header[65]);
  const int bytesPerLine = Word(header, 66);
  if (right < left || bottom < top || (planes != 1 && planes != 3) || (bits == 1 && planes != 1))
    return Unreadable();
  const int width = right - left + 1, height = bottom - top + 1;
  if (bytesPerLine < (width * bits + 7) / 8) return Unreadable();

  std::uint64_t dataEnd = bytes.Size();
  std::array<std::uint8_t, PaletteSize> palette{};
  if (planes == 1 && bits == 8) {
    if (dataEnd - HeaderSize < PaletteSize ||
        !bytes.Read(dataEnd - PaletteSize, palette.data(), PaletteSize) ||
        palette[0] != PaletteMarker)
      return Unreadable();
    dataEnd -= PaletteSize;
  }
  // Every two bytes of data give at most one run of 63: a header larger
  // than that is a damaged file, refused before anything is allocated.
  const std::size_t lineSize = static_cast<std::size_t>(bytesPerLine) * planes;
  if (lineSize * height > LongestRun * (dataEnd - HeaderSize)) return Unreadable();
  if (Result<> fits = CheckPictureSize(width, height, bytes.Size(), FormatName); !fits)
    return fits.Error();

  std::array<ColourValue, 256> colours;
  for (std::size_t i = 0; i < colours.size(); ++i)
    colours[i] = MakeColour(palette[1 + 3 * i], palette[2 + 3 * i], palette[3 + 3 * i]);
  Raster raster = NewPicture(width, height);
  std::vector<std::uint8_t> line(lineSize);
  ByteReader in(bytes, HeaderSize, dataEnd);
  std::uint8_t value = 0;
  std::size_t runLeft = 0;  // a run may go on into the next line
  for (int y = 0; y < height; ++y) {
    for (std::size_t at = 0; at < lineSize;) {
      if (runLeft == 0) {
        int code = in.Next();
        runLeft = 1;
        if (code >= 0xC0) {
          runLeft = static_cast<std::size_t>(code & 0x3F);
          code = in.Next();
        }
        if (code < 0) return Unreadable();  // cut short
        value = static_cast<std::uint8_t>(code);
      }
      const std::size_t length = std::min(runLeft, lineSize - at);
      std::fill_n(line.begin() + static_cast<std::ptrdiff_t>(at), length, value);
      at += length;
      runLeft -= length;
    }
    ColourValue* pixel = &raster.At(0, y);
    const std::uint8_t* red = line.data();
    if (planes == 3) {
      const std::uint8_t *green = red + bytesPerLine, *blue = green + bytesPerLine;
      for (int x = 0; x < width; ++x) pixel[x] = MakeColour(red[x], green[x], blue[x]);
    } else if (bits == 1) {
      // Black and white, whatever the header's 16 colours say, as other
      // readers show such files.
      for (int x = 0; x < width; ++x) pixel[x] = red[x / 8] >> (7 - x % 8) & 1 ? 0xFFFFFF : 0;
    } else {
      for (int x = 0; x < width; ++x) pixel[x] = colours[red[x]];
    }
  }
  return raster;
}

}  // namespace flinder
