#include "render/PreviewDrag.h"

#include <algorithm>

namespace flinder {

void DragInPreview(ShapeSettings& settings, int buttons, double x, double y, int width,
                   int height) {
  if (width <= 0 || height <= 0) return;
  const double fractionX = std::clamp(x, 0.0, double(width)) / width;
  const double fractionY = std::clamp(y, 0.0, double(height)) / height;
  if (buttons == DragShape) {
    settings.PosX = fractionX;
    settings.PosY = fractionY;
  } else if (buttons == DragCaption) {
    settings.TextX = fractionX;
    settings.TextY = fractionY;
  }
}

}  // namespace flinder
