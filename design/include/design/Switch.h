#pragma once

namespace flinder {

// The design's on/off switches, named after their design file keys; the
// window shows them as menu check marks.
enum class Switch {
  Star,
  ShowText,
  ViewShapeShadow,
  ViewTextShadow,
  ViewLine,
  ViewLineShadow,
  TextFront,
  // The background blend is left out of exported pictures (transparent).
  Transparent,
};
constexpr int SwitchCount = 8;

}  // namespace flinder
