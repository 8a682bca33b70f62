#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

#include "design/ColourValue.h"

namespace flinder {

// The windows name their fonts as "Arial"; fontconfig finds the face, as it
// does for the caption.
QFont ArialFont(double points);

ColourValue ColourOf(const QColor& colour);

// Gives the widget (and the controls on it) `colour` in one palette role.
void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);

}  // namespace flinder
