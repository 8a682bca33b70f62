#include "app/WindowLook.h"

#include <QPainter>
#include <QWidget>

namespace flinder {

QFont ArialFont(double points) {
  QFont font(QStringLiteral("Arial"));
  font.setPointSizeF(points);
  // Nine pixels high, smoothed letters run together ("il" becomes one grey
  // stroke): small text is drawn on whole pixels instead.
  if (points < 8) {
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::NoAntialias);
  }
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

void DrawSunkenBorder(QPainter& painter, const QRect& box) {
  const QPalette& palette = QPalette();
  painter.setPen(palette.color(QPalette::Dark));
  painter.drawLine(box.topLeft(), box.topRight());
  painter.drawLine(box.topLeft(), box.bottomLeft());
  painter.setPen(palette.color(QPalette::Shadow));
  painter.drawLine(box.topLeft() + QPoint(1, 1), box.topRight() + QPoint(-1, 1));
  painter.drawLine(box.topLeft() + QPoint(1, 1), box.bottomLeft() + QPoint(1, -1));
  painter.setPen(palette.color(QPalette::Light));
  painter.drawLine(box.bottomLeft(), box.bottomRight());
  painter.drawLine(box.topRight(), box.bottomRight());
  painter.setPen(palette.color(QPalette::Midlight));
  painter.drawLine(box.bottomLeft() + QPoint(1, -1), box.bottomRight() + QPoint(-1, -1));
  painter.drawLine(box.topRight() + QPoint(-1, 1), box.bottomRight() + QPoint(-1, -1));
}

}  // namespace flinder
