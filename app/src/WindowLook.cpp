#include "app/WindowLook.h"

namespace flinder {

QFont ArialFont(double points) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(points);
  return font;
}

ColourValue ColourOf(const QColor& colour) {
  return MakeColour(colour.red(), colour.green(), colour.blue());
}

}  // namespace flinder
