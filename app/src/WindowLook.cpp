#include "app/WindowLook.h"

#include <QWidget>

namespace flinder {

QFont ArialFont(double points) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(points);
  return font;
}

ColourValue ColourOf(const QColor& colour) {
  return MakeColour(colour.red(), colour.green(), colour.blue());
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette colours = widget->palette();
  colours.setColor(role, colour);
  widget->setPalette(colours);
}

}  // namespace flinder
