#pragma once

#include "render/DrawingSurface.h"

namespace flinder {

constexpr ColourValue SliderTrackColour = MakeColour(224, 224, 224);

// Redraws a slider track with its thumb at `position` (0 to 1): a 7-pixel
// dark blue box with a purple centre line at x = position x width. At the
// ends half the thumb lies off the track and is not drawn.
void DrawSliderThumb(DrawingSurface& track, float position);

}  // namespace flinder
