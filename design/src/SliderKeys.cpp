#include "design/SliderKeys.h"

#include <algorithm>
#include <cmath>

#include "design/ShapeSettings.h"

namespace flinder {
namespace {

// The first position of step `step`: its value is the value in the middle
// of the step, which a rounded-down quotient may not give.
float StepPosition(int row, int step) {
  const int steps = SliderSteps(row);
  if (step <= 0) return 0;
  if (step >= steps) return 1;
  const float middle = (static_cast<float>(step) + 0.5f) / static_cast<float>(steps);
  float position = static_cast<float>(step) / static_cast<float>(steps);
  while (SliderValue(row, position) != SliderValue(row, middle))
    position = std::nextafter(position, 1.0f);
  return position;
}

// The step that holds `position`.
int StepOf(int row, float position) {
  const int steps = SliderSteps(row);
  int step =
      std::clamp(static_cast<int>(std::floor(position * static_cast<float>(steps))), 0, steps);
  while (step > 0 && StepPosition(row, step) > position) --step;
  while (step < steps && StepPosition(row, step + 1) <= position) ++step;
  return step;
}

}  // namespace

float SliderValue(int row, float position) {
  if (row < ParameterCount) return ParameterValue(row, position);
  return static_cast<float>(std::floor(static_cast<double>(position) * 255));
}

int SliderSteps(int row) {
  static constexpr int steps[ParameterCount] = {20, 100, 100, 5, 999, 400, 400, 100, 20, 20};
  return row < ParameterCount ? steps[row] : 255;
}

float KeyedSliderPosition(int row, float position, SliderKey key) {
  const int steps = SliderSteps(row);
  const int page = std::max(1, (steps + 5) / 10);
  int step = StepOf(row, position);
  const float value = SliderValue(row, position);
  switch (key) {
    case SliderKey::Start:
      return 0;
    case SliderKey::End:
      return 1;
    case SliderKey::PageDown:
      return StepPosition(row, step - page);
    case SliderKey::PageUp:
      return StepPosition(row, step + page);
    case SliderKey::StepDown:
      do --step;
      while (step > 0 && SliderValue(row, StepPosition(row, step)) == value);
      // On to where that value starts.
      while (step > 0 && SliderValue(row, StepPosition(row, step - 1)) ==
                             SliderValue(row, StepPosition(row, step)))
        --step;
      return StepPosition(row, step);
    case SliderKey::StepUp:
      do ++step;
      while (step < steps && SliderValue(row, StepPosition(row, step)) == value);
      return StepPosition(row, step);
  }
  return position;
}

}  // namespace flinder
