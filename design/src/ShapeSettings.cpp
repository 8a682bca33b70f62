#include "design/ShapeSettings.h"

#include <algorithm>
#include <cmath>

#include "design/DecimalText.h"

namespace flinder {
namespace {

// Products are taken in double precision; the caller stores a single.
double Int(double x) {
  return std::floor(x);
}

// The field of a switch, for a const or a changeable record.
template <typename Settings>
auto& SwitchField(Settings& settings, Switch which) {
  switch (which) {
    case Switch::Star:
      return settings.Star;
    case Switch::ShowText:
      return settings.ShowText;
    case Switch::ViewShapeShadow:
      return settings.ViewShapeShadow;
    case Switch::ViewTextShadow:
      return settings.ViewTextShadow;
    case Switch::ViewLine:
      return settings.ViewLine;
    case Switch::ViewLineShadow:
      return settings.ViewLineShadow;
    case Switch::Transparent:
      return settings.Transparent;
    case Switch::TextFront:
      break;
  }
  return settings.TextFront;
}

}  // namespace

float ParameterValue(int index, float position) {
  const double p = position;
  switch (index) {
    case Sides:
      return static_cast<float>(Int(p * 20) + 3);
    case Radius:
      return static_cast<float>(Int(p * 100));
    case Speed: {
      double t = Int((p - 0.5) * 100) / 10;
      // The speed skips +-0.1: the smallest turn either way is 0.2.
      if (t > -0.2 && t < 0) t = -0.2;
      if (t > 0 && t < 0.2) t = 0.2;
      return static_cast<float>(t);
    }
    case Detail:
      return static_cast<float>(Int(p * 5) + 1);
    case Delay:
      return static_cast<float>(Int(p * 999) + 1);
    case Width:
    case Height:
      return static_cast<float>(Int((p + 0.05) * 400));
    case StarDepth:
      return static_cast<float>(Int((p + 0.1) * 100) / 100);
    case ShapeShadowOffset:
    case TextShadowOffset:
      return static_cast<float>(Int((p - 0.5) * 20));
    default:
      return 0;
  }
}

void ShapeSettings::SetSlider(std::int16_t index, float position) {
  if (index < 0 || index > BlueSlider) return;
  if (!(position >= 0)) position = 0;  // NaN clamps to 0 too
  if (position > 1) position = 1;

  if (index < ParameterCount) {
    float value = ParameterValue(index, position);
    sliderPos_[index] = position;
    sliderVal_[index] = value;
    Notify(index, value);
    if (observer_) {
      if (index == Delay) observer_->TimerIntervalChanged(static_cast<int>(value));
      if (index == Width) observer_->PreviewWidthChanged(static_cast<int>(value));
      if (index == Height) observer_->PreviewHeightChanged(static_cast<int>(value));
    }
  } else {
    int slot = std::clamp(SelectedSlot, 0, ColourSlotCount - 1);
    int entry = ColourIndex(slot, index - RedSlider);
    float value = static_cast<float>(Int(static_cast<double>(position) * 255));
    sliderPos_[entry] = position;
    sliderVal_[entry] = value;
    Notify(index, value);
    if (observer_) observer_->SwatchColourChanged(PlainColour(slot));
  }
  if (observer_) observer_->ThumbMoved(index, position);
}

float ShapeSettings::RowPosition(int row) const {
  if (row < ParameterCount) return SliderPos(row);
  return SliderPos(ColourIndex(std::clamp(SelectedSlot, 0, ColourSlotCount - 1), row - RedSlider));
}

void ShapeSettings::Notify(int index, float value) {
  if (observer_) observer_->ValueLabelChanged(index, SingleText(value));
}

ColourValue ShapeSettings::PlainColour(int slot) const {
  auto component = [&](int c) {
    return static_cast<int>(std::nearbyint(sliderVal_[ColourIndex(slot, c)]));
  };
  return MakeColour(component(0), component(1), component(2));
}

ColourValue ShapeSettings::PositionColour(int slot) const {
  // nearbyint rounds halves to even in the default rounding mode.
  auto component = [&](int c) {
    return static_cast<int>(
        std::nearbyint(static_cast<double>(sliderPos_[ColourIndex(slot, c)]) * 255));
  };
  return MakeColour(component(0), component(1), component(2));
}

bool ShapeSettings::SwitchOn(Switch which) const {
  return SwitchField(*this, which);
}

void ShapeSettings::SetSwitch(Switch which, bool on) {
  SwitchField(*this, which) = on;
  if (observer_) observer_->SwitchChanged(which, on);
}

void ShapeSettings::Toggle(Switch which) {
  SetSwitch(which, !SwitchOn(which));
}

void ShapeSettings::ToggleStar() {
  Toggle(Switch::Star);
  if (Star) SetSwitch(Switch::ViewLine, false);
}

void ShapeSettings::ToggleText() {
  Toggle(Switch::ShowText);
}
void ShapeSettings::ToggleShapeShadow() {
  Toggle(Switch::ViewShapeShadow);
}
void ShapeSettings::ToggleTextShadow() {
  Toggle(Switch::ViewTextShadow);
}

void ShapeSettings::SelectSlot(int slot) {
  SelectedSlot = slot;
  if (observer_) observer_->SelectedSlotChanged(slot);
}

void ShapeSettings::ShowColourSlot(int slot) {
  SelectSlot(slot);
  for (int c = 0; c < 3; ++c)
    SetSlider(static_cast<std::int16_t>(RedSlider + c), sliderPos_[ColourIndex(slot, c)]);
}

void ShapeSettings::ApplyPickedColour(double colour) {
  if (!(colour > 0)) return;
  SetSlider(RedSlider, GetRed(colour) / 255.0f);
  SetSlider(GreenSlider, GetGreen(colour) / 255.0f);
  SetSlider(BlueSlider, GetBlue(colour) / 255.0f);
}

}  // namespace flinder
