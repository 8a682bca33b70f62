#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <vector>

namespace flinder {

// A tool button of the main window: its index in the button array, its
// place on the tool bar, its 24 x 22 picture and its tool tip.
struct ToolButtonLook {
  int Index;
  int Left;
  QPixmap Picture;
  QString ToolTip;
};

// The seven tool buttons from left to right.
std::vector<ToolButtonLook> ToolButtonLooks();
QIcon FlinderIcon();

}  // namespace flinder
