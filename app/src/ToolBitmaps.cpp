#include "app/ToolBitmaps.h"

// The pictures are XPM: C arrays in the 16 colours of the classic palette.
#include "../bitmaps/font.xpm"
#include "../bitmaps/help.xpm"
#include "../bitmaps/icon.xpm"
#include "../bitmaps/save.xpm"
#include "../bitmaps/shape_shadow.xpm"
#include "../bitmaps/star.xpm"
#include "../bitmaps/text.xpm"
#include "../bitmaps/text_shadow.xpm"

namespace flinder {

std::vector<ToolButtonLook> ToolButtonLooks() {
  return {
      {0, 0, QPixmap(save_xpm), QStringLiteral("Save")},
      {1, 24, QPixmap(star_xpm), QStringLiteral("Polygon/star")},
      {2, 48, QPixmap(shape_shadow_xpm), QStringLiteral("Shape shadow")},
      {3, 72, QPixmap(text_xpm), QStringLiteral("Text")},
      {4, 96, QPixmap(text_shadow_xpm), QStringLiteral("Text Shadow")},
      {11, 120, QPixmap(font_xpm), QStringLiteral("Font")},
      {9, 144, QPixmap(help_xpm), QStringLiteral("Help")},
  };
}

QIcon FlinderIcon() {
  return QIcon(QPixmap(icon_xpm));
}

}  // namespace flinder
