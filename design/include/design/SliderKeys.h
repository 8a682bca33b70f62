#pragma once

namespace flinder {

// The keys that move a slider row.
enum class SliderKey { StepDown, StepUp, PageDown, PageUp, Start, End };

// The value slider row `row` (0 to 12) shows at `position`: a parameter's
// value, or a colour component from 0 to 255.
float SliderValue(int row, float position);

// Steps across a row's track: one per value the row can show below its end.
int SliderSteps(int row);

// Where `key` moves row `row` from `position`. A step goes to the next value
// the row shows (Speed's skipped values are passed over), a page a tenth of
// the steps, Start and End to the ends. Every key lands on the first
// position of a value, so a value has one position whichever way it was
// reached.
float KeyedSliderPosition(int row, float position, SliderKey key);

}  // namespace flinder
