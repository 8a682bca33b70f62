#include "image/GifImageReader.h"

#include <gif_lib.h>

#include <cstring>
#include <memory>
#include <vector>

#include "image/ImageLimits.h"

namespace flinder {

namespace {

int ReadFromMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* rest = static_cast<std::string_view*>(gif->UserData);
  const std::size_t count =
      rest->copy(reinterpret_cast<char*>(out), static_cast<std::size_t>(length));
  rest->remove_prefix(count);
  return static_cast<int>(count);
}

struct CloseGif {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

// Skips extension blocks up to the first image descriptor.
bool FindFirstImage(GifFileType* gif) {
  for (;;) {
    GifRecordType record;
    if (DGifGetRecordType(gif, &record) != GIF_OK) return false;
    if (record == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(gif) == GIF_OK;
    if (record != EXTENSION_RECORD_TYPE) return false;  // the trailer: no image
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
    while (block)
      if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
}

}  // namespace

std::optional<Raster> DecodeGifImage(std::string_view bytes) {
  std::string_view rest = bytes;
  int error = 0;
  std::unique_ptr<GifFileType, CloseGif> gif(DGifOpen(&rest, ReadFromMemory, &error));
  if (!gif || !FindFirstImage(gif.get())) return std::nullopt;
  const GifImageDesc& image = gif->Image;
  const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
  if (!map || !CheckPictureSize(image.Width, image.Height, bytes.size())) return std::nullopt;

  std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
  Raster raster(image.Width, image.Height);
  // Interlaced rows come in four passes: every 8th from 0, every 8th from
  // 4, every 4th from 2, every 2nd from 1.
  const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  const int passes = image.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = image.Interlace ? starts[pass] : 0; y < image.Height;
         y += image.Interlace ? steps[pass] : 1) {
      if (DGifGetLine(gif.get(), line.data(), image.Width) != GIF_OK) return std::nullopt;
      for (int x = 0; x < image.Width; ++x) {
        if (line[x] >= map->ColorCount) return std::nullopt;
        const GifColorType& c = map->Colors[line[x]];
        raster.At(x, y) = MakeColour(c.Red, c.Green, c.Blue);
      }
    }
  return raster;
}

}  // namespace flinder
