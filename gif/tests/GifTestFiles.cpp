#include "GifTestFiles.h"

#include <gif_lib.h>

#include <algorithm>
#include <string_view>

namespace flinder {

namespace {

// The file slurped by giflib; closed with the object.
struct SlurpedGif {
  explicit SlurpedGif(const std::string& bytes) : Rest(bytes) {
    int error = 0;
    Gif = DGifOpen(&Rest, Read, &error);
    Ok = Gif && DGifSlurp(Gif) == GIF_OK;
  }
  ~SlurpedGif() {
    int error = 0;
    if (Gif) DGifCloseFile(Gif, &error);
  }
  static int Read(GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<std::string_view*>(gif->UserData);
    std::size_t count = source->copy(reinterpret_cast<char*>(out), length);
    source->remove_prefix(count);
    return static_cast<int>(count);
  }
  std::string_view Rest;
  GifFileType* Gif = nullptr;
  bool Ok = false;
};

}  // namespace

std::optional<GifLayout> LayoutOfGif(const std::string& bytes) {
  SlurpedGif file(bytes);
  if (!file.Ok) return std::nullopt;
  GifLayout layout{file.Gif->SWidth, file.Gif->SHeight, {}};
  for (int i = 0; i < file.Gif->ImageCount; ++i) {
    GraphicsControlBlock control{};
    DGifSavedExtensionToGCB(file.Gif, i, &control);
    layout.Delays.push_back(control.DelayTime);
  }
  return layout;
}

std::optional<std::vector<Raster>> ComposeGif(const std::string& bytes, int loops) {
  SlurpedGif file(bytes);
  if (!file.Ok) return std::nullopt;
  GifFileType* gif = file.Gif;
  std::vector<Raster> frames;
  Raster screen(gif->SWidth, gif->SHeight, ClearPixel);
  for (int loop = 0; loop < loops; ++loop)
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      const GifImageDesc& d = image.ImageDesc;
      const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
      GraphicsControlBlock control{};
      control.TransparentColor = NO_TRANSPARENT_COLOR;
      DGifSavedExtensionToGCB(gif, i, &control);
      const Raster before = screen;
      for (int y = 0; y < d.Height; ++y)
        for (int x = 0; x < d.Width; ++x) {
          const int index = image.RasterBits[y * d.Width + x];
          if (index == control.TransparentColor || !map || index >= map->ColorCount) continue;
          if (d.Left + x >= screen.Width || d.Top + y >= screen.Height) continue;
          const GifColorType& c = map->Colors[index];
          screen.At(d.Left + x, d.Top + y) = MakeColour(c.Red, c.Green, c.Blue);
        }
      frames.push_back(screen);
      if (control.DisposalMode == DISPOSE_PREVIOUS) screen = before;
      if (control.DisposalMode == DISPOSE_BACKGROUND)
        for (int y = d.Top; y < std::min(screen.Height, d.Top + d.Height); ++y)
          for (int x = d.Left; x < std::min(screen.Width, d.Left + d.Width); ++x)
            screen.At(x, y) = ClearPixel;
    }
  return frames;
}

}  // namespace flinder
