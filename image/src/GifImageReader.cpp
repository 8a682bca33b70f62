#include "image/GifImageReader.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "image/ImageLimits.h"
#include "image/NewPicture.h"

namespace flinder {

namespace {

int ReadPiece(GifFileType* gif, GifByteType* out, int length) {
  auto* in = static_cast<ByteReader*>(gif->UserData);
  int count = 0;
  while (count < length) {
    const std::string_view piece = in->TakeSome(static_cast<std::size_t>(length - count));
    if (piece.empty()) break;
    std::memcpy(out + count, piece.data(), piece.size());
    count += static_cast<int>(piece.size());
  }
  return count;
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

constexpr std::string_view FormatName = "GIF";

Failure Unreadable() {
  return NotReadable(FormatName);
}

}  // namespace

Result<Raster> DecodeGifImage(const ImageBytes& bytes) {
  ByteReader in(bytes);
  int error = 0;
  std::unique_ptr<GifFileType, CloseGif> gif(DGifOpen(&in, ReadPiece, &error));
  if (!gif || !FindFirstImage(gif.get())) return Unreadable();
  const GifImageDesc& image = gif->Image;
  const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
  if (!map) return Unreadable();
  if (Result<> fits = CheckPictureSize(image.Width, image.Height, bytes.Size(), FormatName); !fits)
    return fits.Error();
  // Indexes past the colour table give NoColour, which no colour equals.
  constexpr ColourValue NoColour = -1;
  std::array<ColourValue, 256> colours;
  colours.fill(NoColour);
  for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
    colours[i] = MakeColour(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);

  std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
  Raster raster = NewPicture(image.Width, image.Height);
  // Interlaced rows come in four passes: every 8th from 0, every 8th from
  // 4, every 4th from 2, every 2nd from 1.
  const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  const int passes = image.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (int y = image.Interlace ? starts[pass] : 0; y < image.Height;
         y += image.Interlace ? steps[pass] : 1) {
      if (DGifGetLine(gif.get(), line.data(), image.Width) != GIF_OK) return Unreadable();
      ColourValue* out = &raster.At(0, y);
      ColourValue seen = 0;
      for (int x = 0; x < image.Width; ++x) seen |= out[x] = colours[line[x]];
      if (seen == NoColour) return Unreadable();
    }
  return raster;
}

}  // namespace flinder
