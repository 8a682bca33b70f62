#include "export/GifFrameWriter.h"

#include <algorithm>

#include "export/GifLzw.h"

namespace flinder {

namespace {

void PutWord(std::string& out, int value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

}  // namespace

std::optional<std::string> EncodeGifFrame(const IndexedFrame& frame) {
  const std::size_t pixelCount = static_cast<std::size_t>(frame.Width) * frame.Height;
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > 65535 || frame.Height > 65535 ||
      frame.Palette.empty() || frame.Palette.size() > 256 || frame.Indexes.size() != pixelCount ||
      *std::max_element(frame.Indexes.begin(), frame.Indexes.end()) >= frame.Palette.size())
    return std::nullopt;

  // The table has at least 2 entries; codes start at 2 bits or more.
  int tableBits = 1;
  while ((std::size_t{1} << tableBits) < frame.Palette.size()) ++tableBits;
  const int tableSize = 1 << tableBits;

  std::string out;
  out.reserve(13 + 3 * tableSize + 10 + pixelCount / 2);
  out += "GIF87a";
  PutWord(out, frame.Width);
  PutWord(out, frame.Height);
  // Global table present, 8 bits per primary, table size.
  out += static_cast<char>(0x80 | 0x70 | (tableBits - 1));
  out += '\0';  // background colour
  out += '\0';  // square pixels
  for (int i = 0; i < tableSize; ++i) {
    ColourValue colour = i < static_cast<int>(frame.Palette.size()) ? frame.Palette[i] : 0;
    out += static_cast<char>(RedOf(colour));
    out += static_cast<char>(GreenOf(colour));
    out += static_cast<char>(BlueOf(colour));
  }
  out += ',';  // image descriptor: whole screen, no local table, not interlaced
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, frame.Width);
  PutWord(out, frame.Height);
  out += '\0';
  AppendLzwImageData(out, frame.Indexes.data(), pixelCount, std::max(2, tableBits));
  out += ';';
  return out;
}

}  // namespace flinder
