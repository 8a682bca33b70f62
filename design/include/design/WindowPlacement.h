#pragma once

#include <vector>

#include "design/DesignFile.h"

namespace flinder {

// A rectangle of the screen in pixels.
struct PixelRect {
  int X = 0, Y = 0, Width = 0, Height = 0;

  bool Intersects(const PixelRect& other) const;
};

// The screens the window may be placed on, and their twips per pixel
// (15 at 96 dots per inch).
struct ScreenLayout {
  PixelRect Primary;
  std::vector<PixelRect> Screens;
  double TwipsPerPixelX = 15, TwipsPerPixelY = 15;
};

// Where the main window opens: the top-left corner of its frame in pixels.
struct WindowPlacement {
  int X = 0, Y = 0;
  bool OnTop = false;
};

// The main window's place and topmost state from section "Window": "Left"
// and "Top" in twips, "OnTop" "True" or "-1". Both 0 (a first start) and a
// place where no part of the title bar (`frame` wide, `titleHeight` high)
// would be on a screen, such as one unplugged or a number far out of range,
// centre the window's frame on the primary screen; the centred place is
// written back at once to `designs`. The keys are read from `stored`, the
// design file as read at start-up.
WindowPlacement RestoreWindowPlacement(const IniDocument& stored, const DesignFile& designs,
                                       const ScreenLayout& screens, PixelRect frame,
                                       int titleHeight);

// Writes the frame's top-left corner (pixels) and the topmost state.
void SaveWindowPlacement(const DesignFile& designs, const ScreenLayout& screens,
                         const WindowPlacement& placement);

}  // namespace flinder
