#include "render/Checkerboard.h"

namespace flinder {

namespace {

constexpr int SquareSize = 8;
constexpr ColourValue LightCheck = MakeColour(255, 255, 255);
constexpr ColourValue DarkCheck = MakeColour(214, 214, 214);

}  // namespace

void ShowChecksBehind(DrawingSurface& surface) {
  const int width = surface.Width();
  for (int y = 0; y < surface.Height(); ++y) {
    ColourValue* row = surface.Row(y);
    const int rowParity = (y / SquareSize) & 1;
    for (int x = 0; x < width; ++x)
      if (IsBackground(row[x]))
        row[x] = ((x / SquareSize) & 1) == rowParity ? LightCheck : DarkCheck;
  }
}

}  // namespace flinder
