#pragma once

#include <array>
#include <string>

#include "design/ShapeSettings.h"

namespace flinder {

// The editable part of the design record at one moment: what an edit step
// keeps of it before and after the edit.
struct DesignState {
  std::array<float, SliderCount> Positions{};
  std::array<bool, SwitchCount> Switches{};
  std::string Text;
  CaptionFont Font;
  double PosX = 0, PosY = 0, TextX = 0, TextY = 0;
  int SelectedSlot = Inner;

  bool operator==(const DesignState&) const = default;
  // Equal but for the selected colour slot, which is no part of the design.
  bool SameDesign(const DesignState& other) const;
};

DesignState StateOf(const ShapeSettings& settings);

// Takes the record from `from` to `to`, changing only the fields in which
// they differ, through SetSlider and SetSwitch so the window follows. A
// changed colour slot is left selected, so rows 10 to 12 show the change.
void ChangeDesign(ShapeSettings& settings, const DesignState& from, const DesignState& to);

}  // namespace flinder
