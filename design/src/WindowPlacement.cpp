#include "design/WindowPlacement.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "design/DecimalText.h"
#include "design/ValueText.h"

namespace flinder {
namespace {

// Twips as whole pixels, through single precision as they are stored;
// nothing when the pixel is beyond any screen.
std::optional<int> Pixels(double twips, double twipsPerPixel) {
  constexpr double Farthest = 1 << 24;
  if (!std::isfinite(twips) || std::abs(twips / twipsPerPixel) > Farthest) return std::nullopt;
  return static_cast<int>(std::lround(static_cast<float>(twips) / twipsPerPixel));
}

}  // namespace

bool PixelRect::Intersects(const PixelRect& other) const {
  return Width > 0 && Height > 0 && other.Width > 0 && other.Height > 0 &&
         X < other.X + other.Width && other.X < X + Width && Y < other.Y + other.Height &&
         other.Y < Y + Height;
}

WindowPlacement RestoreWindowPlacement(const IniDocument& stored, const DesignFile& designs,
                                       const ScreenLayout& screens, PixelRect frame,
                                       int titleHeight) {
  const double twipsX = screens.TwipsPerPixelX, twipsY = screens.TwipsPerPixelY;
  double left = ParseNumber(stored.Read("Window", "Left"));
  double top = ParseNumber(stored.Read("Window", "Top"));
  std::optional<int> x = Pixels(left, twipsX), y = Pixels(top, twipsY);

  bool reachable = false;
  if (x && y) {
    const PixelRect titleBar{*x, *y, frame.Width, titleHeight};
    reachable = std::any_of(screens.Screens.begin(), screens.Screens.end(),
                            [&](const PixelRect& screen) { return screen.Intersects(titleBar); });
  }
  if ((left == 0 && top == 0) || !reachable) {
    const PixelRect& screen = screens.Primary;
    left = screen.X * twipsX + (screen.Width * twipsX - frame.Width * twipsX) / 2;
    top = screen.Y * twipsY + (screen.Height * twipsY - frame.Height * twipsY) / 2;
    designs.WritePreference("Window", "Left", DoubleText(left));
    designs.WritePreference("Window", "Top", DoubleText(top));
    x = Pixels(left, twipsX);
    y = Pixels(top, twipsY);
  }
  return {x.value_or(0), y.value_or(0), IsTrue(stored.Read("Window", "OnTop"))};
}

void SaveWindowPlacement(const DesignFile& designs, const ScreenLayout& screens,
                         const WindowPlacement& placement) {
  designs.WritePreference("Window", "Left",
                          SingleText(static_cast<float>(placement.X * screens.TwipsPerPixelX)));
  designs.WritePreference("Window", "Top",
                          SingleText(static_cast<float>(placement.Y * screens.TwipsPerPixelY)));
  designs.WritePreference("Window", "OnTop", BooleanText(placement.OnTop));
}

}  // namespace flinder
