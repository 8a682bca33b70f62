#include "WorstCaseDesign.h"

namespace flinder {
namespace {

void SetColour(ShapeSettings& s, int slot, int r, int g, int b) {
  s.SelectedSlot = slot;
  s.SetSlider(RedSlider, r / 255.0f);
  s.SetSlider(GreenSlider, g / 255.0f);
  s.SetSlider(BlueSlider, b / 255.0f);
}

}  // namespace

ShapeSettings WorstCaseDesign() {
  ShapeSettings s;
  s.SetSlider(Sides, 1.0f);    // 23 sides, a 24-vertex star
  s.SetSlider(Radius, 1.0f);   // 100 pixels
  s.SetSlider(Speed, 0.605f);  // 1.0
  s.SetSlider(Detail, 1.0f);   // pen width 6
  s.SetSlider(Width, 1.0f);    // 420
  s.SetSlider(Height, 1.0f);
  s.SetSlider(StarDepth, 0.4f);
  s.SetSlider(ShapeShadowOffset, 0.775f);  // 5
  s.SetSlider(TextShadowOffset, 0.725f);   // 4
  SetColour(s, Inner, 255, 240, 80);
  SetColour(s, Outer, 200, 30, 20);
  SetColour(s, Back, 30, 60, 140);
  SetColour(s, Dither, 200, 220, 255);
  SetColour(s, Text, 255, 255, 255);
  SetColour(s, ShapeShadow, 20, 20, 40);
  SetColour(s, TextShadow, 0, 0, 0);
  s.Star = s.ShowText = s.ViewShapeShadow = s.ViewTextShadow = s.TextFront = true;
  s.PosX = s.PosY = 0.5;
  s.TextX = 0.35;
  s.TextY = 0.45;
  s.Text = "Flinder";
  return s;
}

}  // namespace flinder
