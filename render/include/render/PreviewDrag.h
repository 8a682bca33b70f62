#pragma once

#include "design/ShapeSettings.h"

namespace flinder {

// The buttons held while the pointer moves over the preview, as the window
// reports them: the left one alone drags the shape, the right one alone
// the caption.
enum DragButtons : int { DragShape = 1, DragCaption = 2 };

// Moves the shape or the caption to the pointer at (x, y), pixels of a
// preview `width` x `height`. The pointer is clamped into the preview
// (Width and Height themselves included) and stored as fractions of it;
// any other button state changes nothing.
void DragInPreview(ShapeSettings& settings, int buttons, double x, double y, int width, int height);

}  // namespace flinder
