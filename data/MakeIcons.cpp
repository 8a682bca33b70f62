// Draws the program's icon, the ringed star of the window icon, as PNG files
// with a clear background at the sizes the desktop asks for:
//   make_icons FOLDER      writes FOLDER/NxN.png for every size
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "animation/ApngEncoder.h"
#include "design/FileAccess.h"
#include "render/FrameRenderer.h"
#include "render/RgbaRaster.h"

namespace {

using namespace flinder;

// The slider position that gives `value`, found along the track.
void Set(ShapeSettings& s, int index, float value) {
  for (int k = 0; k <= 1000; ++k) {
    s.SetSlider(static_cast<std::int16_t>(index), k / 1000.0f);
    if (s.SliderVal(index) == value) return;
  }
  throw std::invalid_argument("no slider position gives the icon's value");
}

void SetColour(ShapeSettings& s, int slot, int red, int green, int blue) {
  s.SelectedSlot = slot;
  s.SetSlider(RedSlider, static_cast<float>(red / 255.0));
  s.SetSlider(GreenSlider, static_cast<float>(green / 255.0));
  s.SetSlider(BlueSlider, static_cast<float>(blue / 255.0));
}

// A five-pointed star (ten vertices) standing on two points, red rings round a
// yellow heart over a navy shadow, on white or on black.
Raster DrawIcon(int size, int background) {
  const int scale = size >= 128 ? size / 64 : 1, base = size / scale;
  ShapeSettings s;
  Set(s, Sides, 10);
  Set(s, Speed, 1);
  Set(s, Radius, static_cast<float>(base * 46 / 100));
  Set(s, Detail, static_cast<float>(std::clamp(base / 20, 1, 6)));
  s.SetSlider(StarDepth, 0.4f);
  Set(s, ShapeShadowOffset, static_cast<float>(std::max(1, base / 32)));
  s.Star = s.ViewShapeShadow = true;
  s.PosX = s.PosY = 0.5;
  SetColour(s, Outer, 200, 0, 0);
  SetColour(s, Inner, 255, 255, 0);
  SetColour(s, ShapeShadow, 0, 0, 128);
  SetColour(s, Back, background, background, background);
  SetColour(s, Dither, background, background, background);
  DrawingSurface surface(size, size);
  FrameRenderer renderer;
  renderer.Scale = scale;
  renderer.Angle = 32;  // one step of 4 degrees brings a point to the top
  renderer.DrawFrame(surface, s);
  return surface.Capture();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icons FOLDER\n");
    return 2;
  }
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const RgbaRaster icon = StraightAlpha(DrawIcon(size, 255), DrawIcon(size, 0));
    ApngEncoder png(size, size, {});
    png.AddFrame(icon);
    const std::string path = (std::filesystem::path(argv[1]) /
                              (std::to_string(size) + "x" + std::to_string(size) + ".png"))
                                 .string();
    if (std::string error = ReplaceFile(path, png.Finish(), false); !error.empty()) {
      std::fprintf(stderr, "make_icons: cannot write %s: %s\n", path.c_str(), error.c_str());
      return 1;
    }
  }
  return 0;
}
