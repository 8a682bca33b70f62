#pragma once

#include <Qt>

namespace flinder {

// Mouse buttons as the window handlers compare them: 1 left, 2 right,
// 4 middle, added together when several are held.
constexpr int LeftButton = 1;
constexpr int RightButton = 2;
constexpr int MiddleButton = 4;

int MouseButtonCode(Qt::MouseButtons buttons);

}  // namespace flinder
