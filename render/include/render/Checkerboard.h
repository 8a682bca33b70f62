#pragma once

#include "render/DrawingSurface.h"

namespace flinder {

// Shows the pixels a transparent design leaves out as a light checkerboard
// of 8-pixel squares, as an image viewer shows transparency; the other
// pixels stay as drawn.
void ShowChecksBehind(DrawingSurface& surface);

}  // namespace flinder
