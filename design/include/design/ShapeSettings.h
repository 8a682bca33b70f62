#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "design/ColourValue.h"
#include "design/SettingsObserver.h"

namespace flinder {

// Indexes of the ten parameters in SliderPos / SliderVal.
enum Parameter : int {
  Sides = 0,
  Radius = 1,
  Speed = 2,
  Detail = 3,
  Delay = 4,
  Width = 5,
  Height = 6,
  StarDepth = 7,
  ShapeShadowOffset = 8,
  TextShadowOffset = 9,
};

// The seven colour slots; slot k keeps red, green and blue at 10 + 3k + c.
enum ColourSlot : int {
  Inner = 0,
  Outer = 1,
  Back = 2,
  Text = 3,
  ShapeShadow = 4,
  TextShadow = 5,
  Dither = 6,
};

constexpr int SliderCount = 101;
constexpr int ParameterCount = 10;
constexpr int ColourSlotCount = 7;
constexpr int RedSlider = 10;
constexpr int GreenSlider = 11;
constexpr int BlueSlider = 12;

constexpr int ColourIndex(int slot, int component) {
  return 10 + 3 * slot + component;
}

// The caption's font (the preview picture's font in the window).
struct CaptionFont {
  std::string FontName = "Arial";
  float FontSize = 11.25f;
  bool FontBold = true;
  bool FontItalic = false;
  bool FontUnderline = false;
  bool FontStrikethru = false;

  bool operator==(const CaptionFont&) const = default;
};

// The one current design. Positions and values are written only through
// SetSlider; the switches, caption and selected slot are plain fields that
// the window layer mirrors into its menus and boxes.
class ShapeSettings {
 public:
  explicit ShapeSettings(SettingsObserver* observer = nullptr) : observer_(observer) {}

  void SetObserver(SettingsObserver* observer) { observer_ = observer; }
  SettingsObserver* Observer() const { return observer_; }

  // Stores the clamped position of slider `index` and its derived value, and
  // tells the observer. Indexes 10 to 12 write the selected colour slot.
  void SetSlider(std::int16_t index, float position);

  // The view toggles: each flips its switch; turning the star on also
  // clears ViewLine.
  void ToggleStar();
  void ToggleText();
  void ToggleShapeShadow();
  void ToggleTextShadow();

  // Sets a switch as a check mark set directly, without its toggle.
  void SetSwitch(Switch which, bool on);
  bool SwitchOn(Switch which) const;

  // Selects the colour slot that rows 10 to 12 edit.
  void SelectSlot(int slot);
  // Selects `slot` and stores its three components back unchanged, so the
  // value labels, thumbs and swatch of rows 10 to 12 show that slot.
  void ShowColourSlot(int slot);
  // A colour picked in the colour dialog: its three bytes go into the
  // selected slot. Pure black (0) is the dialog's "nothing picked" and
  // changes nothing.
  void ApplyPickedColour(double colour);

  float SliderPos(int index) const { return sliderPos_.at(index); }
  float SliderVal(int index) const { return sliderVal_.at(index); }
  // The position slider row `row` (0 to 12) shows: rows 10 to 12 show the
  // selected colour slot.
  float RowPosition(int row) const;

  // A slot's colour from its values, and from its positions (each x 255,
  // halves to even), as the renderer uses them.
  ColourValue PlainColour(int slot) const;
  ColourValue PositionColour(int slot) const;

  double PosX = 0, PosY = 0;    // shape centre, fractions of the preview
  double TextX = 0, TextY = 0;  // caption corner, fractions of the preview

  bool Star = false;
  bool ShowText = false;
  bool ViewShapeShadow = false;
  bool ViewTextShadow = false;
  bool ViewLine = false;
  bool ViewLineShadow = false;
  bool TextFront = false;
  bool Transparent = false;

  std::string Text = "Flinder";
  CaptionFont Font;

  int SelectedSlot = Inner;  // the colour option rows 10 to 12 edit
  std::string CurrentShape;  // empty while no design is current

 private:
  void Notify(int index, float value);
  void Toggle(Switch which);

  std::array<float, SliderCount> sliderPos_{};
  std::array<float, SliderCount> sliderVal_{};
  SettingsObserver* observer_;
};

// The value that a slider position gives for parameter `index` (0 to 9).
float ParameterValue(int index, float position);

}  // namespace flinder
