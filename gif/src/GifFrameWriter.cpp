#include "gif/GifFrameWriter.h"

#include <algorithm>

#include "gif/GifBlocks.h"
#include "gif/GifLzw.h"
#include "gif/LittleEndian.h"

namespace flinder {

int AppendScreenAndTable(std::string& out, int width, int height,
                         const std::vector<ColourValue>& palette, int background) {
  // The table has at least 2 entries; codes start at 2 bits or more.
  int tableBits = 1;
  while ((std::size_t{1} << tableBits) < palette.size()) ++tableBits;
  AppendWord(out, width);
  AppendWord(out, height);
  // Global table present, 8 bits per primary, table size.
  out += static_cast<char>(0x80 | 0x70 | (tableBits - 1));
  out += static_cast<char>(background);
  out += '\0';  // square pixels
  for (int i = 0; i < (1 << tableBits); ++i) {
    const ColourValue colour = i < static_cast<int>(palette.size()) ? palette[i] : 0;
    out += static_cast<char>(RedOf(colour));
    out += static_cast<char>(GreenOf(colour));
    out += static_cast<char>(BlueOf(colour));
  }
  return tableBits;
}

std::optional<std::string> EncodeGifFrame(const IndexedFrame& frame) {
  const std::size_t pixelCount = static_cast<std::size_t>(frame.Width) * frame.Height;
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > 65535 || frame.Height > 65535 ||
      frame.Palette.empty() || frame.Palette.size() > 256 || frame.Indexes.size() != pixelCount ||
      *std::max_element(frame.Indexes.begin(), frame.Indexes.end()) >= frame.Palette.size())
    return std::nullopt;

  std::string out = "GIF87a";
  out.reserve(13 + 3 * 256 + 10 + pixelCount / 2);
  const int tableBits = AppendScreenAndTable(out, frame.Width, frame.Height, frame.Palette, 0);
  AppendImageDescriptor(out, 0, 0, frame.Width, frame.Height);
  AppendLzwImageData(out, frame.Indexes.data(), pixelCount, std::max(2, tableBits));
  out += ';';
  return out;
}

}  // namespace flinder
