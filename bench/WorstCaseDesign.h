#pragma once

#include "design/ShapeSettings.h"

namespace flinder {

// The worst-case design: 420 x 420, a star of 23 sides, both shadows, Detail 6
// and the caption in front with its shadow in Arial 11.25 points bold.
ShapeSettings WorstCaseDesign();

}  // namespace flinder
