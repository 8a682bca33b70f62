#include "export/GifFrameWriter.h"

#include <gif_lib.h>

namespace flinder {

namespace {

int AppendBytes(GifFileType* gif, const GifByteType* bytes, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
  return length;
}

// The palette padded with black to a power of two, at least 2 entries.
ColorMapObject* MakeColourMap(const std::vector<ColourValue>& palette) {
  int size = 2;
  while (size < static_cast<int>(palette.size())) size *= 2;
  ColorMapObject* map = GifMakeMapObject(size, nullptr);
  if (!map) return nullptr;
  for (int i = 0; i < size; ++i) {
    ColourValue colour = i < static_cast<int>(palette.size()) ? palette[i] : 0;
    map->Colors[i] = {static_cast<GifByteType>(RedOf(colour)),
                      static_cast<GifByteType>(GreenOf(colour)),
                      static_cast<GifByteType>(BlueOf(colour))};
  }
  return map;
}

}  // namespace

std::optional<std::string> EncodeGifFrame(const IndexedFrame& frame) {
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Width > 65535 || frame.Height > 65535 ||
      frame.Palette.size() > 256 ||
      frame.Indexes.size() != static_cast<std::size_t>(frame.Width) * frame.Height)
    return std::nullopt;
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendBytes, &error);
  if (!gif) return std::nullopt;
  ColorMapObject* map = MakeColourMap(frame.Palette);
  bool ok = map && EGifPutScreenDesc(gif, frame.Width, frame.Height, 8, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, frame.Width, frame.Height, false, nullptr) == GIF_OK;
  // giflib copies the map into the file record.
  GifFreeMapObject(map);
  std::vector<GifPixelType> row(frame.Width);
  for (int y = 0; ok && y < frame.Height; ++y) {
    const std::uint8_t* start = frame.Indexes.data() + static_cast<std::size_t>(y) * frame.Width;
    row.assign(start, start + frame.Width);
    ok = EGifPutLine(gif, row.data(), frame.Width) == GIF_OK;
  }
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  if (!ok) return std::nullopt;
  return bytes;
}

}  // namespace flinder
