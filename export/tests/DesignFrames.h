#pragma once

#include "render/Raster.h"

namespace flinder {

// A frame like the animations draw: a vertical two-colour blend of 420 rows,
// a square of ten shaded rings with an anti-aliased edge, turned by
// `step` times 7 degrees, and a small fixed patch of caption-like noise.
Raster DesignFrame(int step, int size = 420);

// Largest and mean per-channel difference and the PSNR in decibels.
struct ColourError {
  int Max = 0;
  double Mean = 0;
  double Psnr = 0;
};
ColourError CompareRasters(const Raster& a, const Raster& b);

}  // namespace flinder
