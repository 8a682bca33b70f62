// Draws the program's icon, the ringed star of the window icon, as PNG files
// with a clear background at the sizes the desktop asks for:
//   make_icons FOLDER      writes FOLDER/NxN.png for every size
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "SampleDesigns.h"
#include "animation/ApngEncoder.h"
#include "files/FileAccess.h"
#include "render/FrameRenderer.h"
#include "render/RgbaRaster.h"

namespace {

using namespace flinder;

// A five-pointed star (ten vertices) standing on two points, red rings round a
// yellow heart over a navy shadow, on a clear background.
RgbaRaster DrawIcon(int size) {
  const int scale = size >= 128 ? size / 64 : 1, base = size / scale;
  SampleDesign icon{};
  // Sides, Radius, Speed, Detail, Delay, Width, Height, Star, S Shadow, T Shadow
  icon.Values = {10,
                 static_cast<float>(base * 46 / 100),
                 1,
                 static_cast<float>(std::clamp(base / 20, 1, 6)),
                 50,
                 100,
                 100,
                 0.5f,
                 static_cast<float>(std::max(1, base / 32)),
                 0};
  const Rgb back = {255, 255, 255};
  // Inner, Outer, Back, Text, S Shadow, T Shadow, Dither
  icon.Colours = {Rgb{255, 255, 0}, Rgb{200, 0, 0}, back, Rgb{}, Rgb{0, 0, 128}, Rgb{}, back};
  icon.Star = icon.ViewShapeShadow = true;
  icon.PosX = icon.PosY = 0.5;
  ShapeSettings s = SettingsOf(icon);
  s.Transparent = true;
  DrawingSurface surface(size, size);
  FrameRenderer renderer;
  renderer.Scale = scale;
  renderer.Angle = 32;  // one step of 4 degrees brings a point to the top
  renderer.DrawFrame(surface, s);
  return StraightRgba(surface.Capture());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons FOLDER\n");
    return 2;
  }
  for (int size : {16, 32, 48, 64, 128, 256}) {
    ApngEncoder png(size, size, {});
    const std::string path = (std::filesystem::path(argv[1]) /
                              (std::to_string(size) + "x" + std::to_string(size) + ".png"))
                                 .string();
    Result<> added = png.AddFrame(DrawIcon(size));
    Result<std::string> file = added ? png.Finish() : Result<std::string>(added.Error());
    Result<> written = file ? ReplaceFile(path, *file, false) : Result<>(file.Error());
    if (!written) {
      std::fprintf(stderr, "make_icons: cannot write %s: %s\n", path.c_str(),
                   written.Message().c_str());
      return 1;
    }
  }
  return 0;
}
