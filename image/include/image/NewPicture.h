#pragma once

#include "render/Raster.h"

namespace flinder {

// A picture for a reader to fill, every pixel `fill`. A large one's memory
// is asked for in huge pages where the system gives them: it is then made
// ready 2 MiB at a time instead of 4 KiB, which for the largest picture
// saves most of the time a read takes.
Raster NewPicture(int width, int height, ColourValue fill = 0);

}  // namespace flinder
