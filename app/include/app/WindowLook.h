#pragma once

#include <QColor>
#include <QFont>

#include "design/ColourValue.h"

namespace flinder {

// The windows name their fonts as "Arial"; fontconfig finds the face, as it
// does for the caption.
QFont ArialFont(double points);

ColourValue ColourOf(const QColor& colour);

}  // namespace flinder
