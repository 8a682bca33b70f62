#include "GifTestFiles.h"

#include <gif_lib.h>

#include <string_view>

namespace flinder {

std::optional<DecodedGif> DecodeGif(const std::string& bytes) {
  std::string_view rest = bytes;
  auto read = [](GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<std::string_view*>(gif->UserData);
    std::size_t count = source->copy(reinterpret_cast<char*>(out), length);
    source->remove_prefix(count);
    return static_cast<int>(count);
  };
  int error = 0;
  GifFileType* gif = DGifOpen(&rest, read, &error);
  if (!gif) return std::nullopt;
  std::optional<DecodedGif> decoded;
  if (DGifSlurp(gif) == GIF_OK)
    decoded = DecodedGif{{}, gif->SColorMap ? gif->SColorMap->ColorCount : 0};
  for (int i = 0; decoded && i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    if (!map) {
      decoded.reset();
      break;
    }
    Raster raster(image.ImageDesc.Width, image.ImageDesc.Height);
    for (std::size_t p = 0; p < raster.Pixels.size(); ++p) {
      const GifColorType& c = map->Colors[image.RasterBits[p]];
      raster.Pixels[p] = MakeColour(c.Red, c.Green, c.Blue);
    }
    decoded->Images.push_back(std::move(raster));
  }
  DGifCloseFile(gif, &error);
  return decoded;
}

}  // namespace flinder
