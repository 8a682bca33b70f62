#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QPainter;
class QRect;
class QWidget;

#include "design/ColourValue.h"

namespace flinder {

// The windows name their fonts as "Arial"; fontconfig finds the face, as it
// does for the caption.
QFont ArialFont(double points);

ColourValue ColourOf(const QColor& colour);

// Gives the widget (and the controls on it) `colour` in one palette role.
void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);

// The single sunken border of picture boxes and containers: two pixels
// inside the edge of `box`, dark above and left, light below and right.
constexpr int SunkenBorderWidth = 2;
void DrawSunkenBorder(QPainter& painter, const QRect& box);

}  // namespace flinder
