#pragma once

#include <array>
#include <string>
#include <vector>

#include "design/ShapeSettings.h"
#include "files/Result.h"

namespace flinder {

struct Rgb {
  int Red, Green, Blue;
};

// A sample design in the values the panel shows, not in slider positions.
struct SampleDesign {
  std::string Name;
  std::array<float, ParameterCount> Values;  // Sides, Radius, Speed ... T Shadow
  std::array<Rgb, ColourSlotCount> Colours;  // Inner, Outer, Back ... Dither
  bool Star, ShowText, ViewShapeShadow, ViewTextShadow, TextFront;
  double PosX, PosY, TextX, TextY;
  std::string Text;
  CaptionFont Font;
};

// The designs shipped in designs/flinder.ini, in the order they are saved.
const std::vector<SampleDesign>& SampleDesigns();

// The record that gives exactly the design's values; throws
// std::invalid_argument for a value no slider position gives.
ShapeSettings SettingsOf(const SampleDesign& design);

// Writes every sample design into a new design file at `iniFile` (an
// existing file is replaced) with SaveShape, so it is exactly what the
// program writes.
Result<> WriteSampleDesigns(const std::string& iniFile);

}  // namespace flinder
