#include "design/DesignEdit.h"

namespace flinder {

bool DesignState::SameDesign(const DesignState& other) const {
  DesignState mine = *this;
  mine.SelectedSlot = other.SelectedSlot;
  return mine == other;
}

DesignState StateOf(const ShapeSettings& settings) {
  DesignState state;
  for (int i = 0; i < SliderCount; ++i) state.Positions[i] = settings.SliderPos(i);
  for (int s = 0; s < SwitchCount; ++s) state.Switches[s] = settings.SwitchOn(Switch(s));
  state.Text = settings.Text;
  state.Font = settings.Font;
  state.PosX = settings.PosX;
  state.PosY = settings.PosY;
  state.TextX = settings.TextX;
  state.TextY = settings.TextY;
  state.SelectedSlot = settings.SelectedSlot;
  return state;
}

void ChangeDesign(ShapeSettings& settings, const DesignState& from, const DesignState& to) {
  for (int row = 0; row < ParameterCount; ++row)
    if (from.Positions[row] != to.Positions[row])
      settings.SetSlider(static_cast<std::int16_t>(row), to.Positions[row]);
  int shownSlot = from.SelectedSlot != to.SelectedSlot ? to.SelectedSlot : -1;
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    bool changed = false;
    for (int c = 0; c < 3; ++c)
      changed |= from.Positions[ColourIndex(slot, c)] != to.Positions[ColourIndex(slot, c)];
    if (!changed) continue;
    settings.SelectSlot(slot);
    for (int c = 0; c < 3; ++c)
      settings.SetSlider(static_cast<std::int16_t>(RedSlider + c),
                         to.Positions[ColourIndex(slot, c)]);
    shownSlot = slot;
  }
  if (shownSlot >= 0) settings.ShowColourSlot(shownSlot);

  for (int s = 0; s < SwitchCount; ++s)
    if (from.Switches[s] != to.Switches[s]) settings.SetSwitch(Switch(s), to.Switches[s]);
  if (from.PosX != to.PosX || from.PosY != to.PosY) {
    settings.PosX = to.PosX;
    settings.PosY = to.PosY;
  }
  if (from.TextX != to.TextX || from.TextY != to.TextY) {
    settings.TextX = to.TextX;
    settings.TextY = to.TextY;
  }
  if (from.Text != to.Text || from.Font != to.Font) {
    settings.Text = to.Text;
    settings.Font = to.Font;
    if (SettingsObserver* observer = settings.Observer()) observer->CaptionChanged();
  }
}

}  // namespace flinder
