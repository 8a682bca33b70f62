// gif-quality FRAMES_DIR ANIMATION.gif
// gif-quality --rgba OUTPUT.raw ANIMATION.gif
//
// Compares an animated GIF, frame by frame, with the exact frames it was
// made from (FRAMES_DIR/frame1.bmp, frame2.bmp, ...) and prints one line:
//   frames F psnr P flicker K
// P is the PSNR over every colour channel of every frame ("inf" when exact);
// K counts the pixels that keep their colour from one source frame to the
// next but change it in the GIF: the shimmer a viewer sees.
//
// With --rgba it writes the pictures a browser shows instead, one after the
// other as red, green, blue and alpha bytes (a transparent pixel is 0 0 0 0),
// and prints "frames F size WxH".
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "files/FileAccess.h"
#include "image/BmpFile.h"

namespace flinder {
namespace {

// A pixel the page shows through.
constexpr ColourValue Clear = -1;

// Composes the frames as a browser does: the screen starts clear, a
// transparent index leaves the pixel, "restore to background" clears the
// frame's rectangle and "restore to previous" brings back what was under it.
std::vector<Raster> DecodeAnimation(const std::string& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif || DGifSlurp(gif) != GIF_OK) {
    if (gif) DGifCloseFile(gif, &error);
    return {};
  }
  int width = gif->SWidth, height = gif->SHeight;
  for (int i = 0; i < gif->ImageCount; ++i) {  // a screen of 0 x 0 takes the frames' size
    const GifImageDesc& d = gif->SavedImages[i].ImageDesc;
    width = std::max(width, d.Left + d.Width);
    height = std::max(height, d.Top + d.Height);
  }
  std::vector<Raster> frames;
  Raster canvas(width, height, Clear);
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const GifImageDesc& d = image.ImageDesc;
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    Raster before = canvas;
    for (int y = 0; y < d.Height; ++y)
      for (int x = 0; x < d.Width; ++x) {
        int index = image.RasterBits[y * d.Width + x];
        if (index == gcb.TransparentColor || !map || index >= map->ColorCount) continue;
        int cx = d.Left + x, cy = d.Top + y;
        if (cx >= width || cy >= height) continue;
        const GifColorType& c = map->Colors[index];
        canvas.At(cx, cy) = MakeColour(c.Red, c.Green, c.Blue);
      }
    frames.push_back(canvas);
    if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
      for (int y = d.Top; y < std::min(height, d.Top + d.Height); ++y)
        for (int x = d.Left; x < std::min(width, d.Left + d.Width); ++x) canvas.At(x, y) = Clear;
    } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
      canvas = before;
    }
  }
  DGifCloseFile(gif, &error);
  return frames;
}

int WriteRgba(const std::string& output, const std::string& animation) {
  const std::vector<Raster> frames = DecodeAnimation(animation);
  if (frames.empty()) {
    std::fprintf(stderr, "gif-quality: cannot read %s\n", animation.c_str());
    return 1;
  }
  std::string bytes;
  for (const Raster& frame : frames)
    for (ColourValue pixel : frame.Pixels) {
      const bool clear = pixel == Clear;
      for (int channel : {RedOf(pixel), GreenOf(pixel), BlueOf(pixel), 255})
        bytes += static_cast<char>(clear ? 0 : channel);
    }
  if (Result<> written = WriteFileBytes(output, bytes); !written) {
    std::fprintf(stderr, "gif-quality: cannot write %s: %s\n", output.c_str(),
                 written.Message().c_str());
    return 1;
  }
  std::printf("frames %zu size %dx%d\n", frames.size(), frames[0].Width, frames[0].Height);
  return 0;
}

int Run(const std::string& folder, const std::string& animation) {
  std::vector<Raster> sources;
  for (int i = 1;; ++i) {
    auto bytes = ReadFileBytes(folder + "/frame" + std::to_string(i) + ".bmp");
    if (!bytes) break;
    auto raster = DecodeBmp(*bytes);
    if (!raster) break;
    sources.push_back(std::move(*raster));
  }
  std::vector<Raster> frames = DecodeAnimation(animation);
  if (frames.empty() || sources.empty()) {
    std::fprintf(stderr, "gif-quality: cannot read %s or the frames in %s\n", animation.c_str(),
                 folder.c_str());
    return 1;
  }
  size_t count = std::min(frames.size(), sources.size());
  double squares = 0, samples = 0;
  long flicker = 0;
  for (size_t f = 0; f < count; ++f) {
    const Raster& src = sources[f];
    const Raster& out = frames[f];
    for (int y = 0; y < src.Height; ++y)
      for (int x = 0; x < src.Width; ++x) {
        ColourValue a = src.At(x, y);
        ColourValue b = x < out.Width && y < out.Height ? out.At(x, y) : 0;
        for (int shift : {0, 8, 16}) {
          double d = ((a >> shift) & 0xFF) - ((b >> shift) & 0xFF);
          squares += d * d;
        }
        samples += 3;
        if (f > 0 && x < out.Width && y < out.Height && sources[f - 1].At(x, y) == a &&
            frames[f - 1].At(x, y) != b)
          ++flicker;
      }
  }
  double mse = squares / samples;
  if (mse == 0)
    std::printf("frames %zu psnr inf flicker %ld\n", count, flicker);
  else
    std::printf("frames %zu psnr %.2f flicker %ld\n", count, 10 * std::log10(255.0 * 255.0 / mse),
                flicker);
  return 0;
}

}  // namespace
}  // namespace flinder

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--rgba") return flinder::WriteRgba(argv[2], argv[3]);
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: gif-quality FRAMES_DIR ANIMATION.gif\n"
                 "       gif-quality --rgba OUTPUT.raw ANIMATION.gif\n");
    return 2;
  }
  return flinder::Run(argv[1], argv[2]);
}
