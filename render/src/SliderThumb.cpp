#include "render/SliderThumb.h"

namespace flinder {

void DrawSliderThumb(DrawingSurface& track, float position) {
  const float x = position * static_cast<float>(track.Width());
  const auto height = static_cast<float>(track.Height());
  track.Clear();
  track.SetDrawWidth(1);
  track.FillBox(x - 3, 1, x + 3, height - 2, MakeColour(64, 64, 148));
  track.SetDrawWidth(1);
  track.DrawLine(x, 2, x, height - 2, MakeColour(192, 96, 192));
}

}  // namespace flinder
