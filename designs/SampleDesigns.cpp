#include "SampleDesigns.h"

#include <stdexcept>

#include "design/DesignFile.h"
#include "files/FileAccess.h"

namespace flinder {
namespace {

constexpr Rgb White{255, 255, 255};
constexpr Rgb Black{0, 0, 0};

// A position in thousandths from the middle of the run that gives `value`,
// well away from the edges where a rounding could tip it over.
float PositionFor(int index, float value) {
  int first = -1, last = -1;
  for (int k = 0; k <= 1000; ++k) {
    if (ParameterValue(index, static_cast<float>(k) / 1000) != value) continue;
    if (first < 0) first = k;
    last = k;
  }
  if (first < 0)
    throw std::invalid_argument("no slider position gives parameter " + std::to_string(index) +
                                " the value " + std::to_string(value));
  return static_cast<float>((first + last) / 2) / 1000;
}

CaptionFont Arial(float points, bool italic = false) {
  return CaptionFont{"Arial", points, true, italic, false, false};
}

}  // namespace

const std::vector<SampleDesign>& SampleDesigns() {
  // Values: Sides, Radius, Speed, Detail, Delay (ms), Width, Height, Star, S Shadow, T Shadow.
  // Colours: Inner, Outer, Back (top), Caption, Shape shadow, Caption shadow, Dither (bottom).
  static const std::vector<SampleDesign> designs = {
      // A star badge on a dark blue ground with its caption in front.
      {"Badge",
       {16, 70, 0.5f, 2, 50, 180, 180, 0.45f, 3, 2},
       {{{255, 226, 90}, {226, 110, 0}, {24, 36, 110}, White, Black, {110, 40, 0}, {6, 8, 40}}},
       true,
       true,
       false,
       true,
       true,
       0.5,
       0.5,
       0.34,
       0.43,
       "SALE",
       Arial(16)},
      // A wide, short strip: a turning square and a line of text beside it.
      {"Banner",
       {4, 22, 2, 3, 50, 420, 60, 0.5f, 2, 1},
       {{{255, 205, 40},
         {200, 90, 0},
         {236, 245, 255},
         {20, 40, 90},
         {150, 160, 180},
         {160, 180, 210},
         {186, 212, 240}}},
       false,
       true,
       false,
       true,
       true,
       0.08,
       0.5,
       0.2,
       0.27,
       "Flinder GIFs",
       Arial(18, true)},
      // A slow blinker: a red triangle that jumps a sixth of a turn every 0.4 s.
      {"Beacon",
       {3, 45, 5, 6, 400, 120, 120, 0.5f, 4, 0},
       {{White, {230, 0, 0}, {48, 48, 48}, White, {100, 100, 100}, Black, Black}},
       false,
       false,
       true,
       false,
       false,
       0.5,
       0.5,
       0,
       0,
       "Flinder",
       Arial(11.25f)},
      // The smallest size: a green octagon for a bullet point.
      {"Dot",
       {8, 12, 1.5f, 1, 60, 32, 32, 0.5f, 0, 0},
       {{{190, 255, 150}, {0, 120, 40}, White, Black, Black, Black, White}},
       false,
       false,
       false,
       false,
       false,
       0.5,
       0.5,
       0,
       0,
       "Flinder",
       Arial(11.25f)},
      // A plain polygon spinner on a light ground with a short delay.
      {"Spinner",
       {6, 36, 1.5f, 2, 30, 100, 100, 0.5f, 0, 0},
       {{{130, 205, 255}, {0, 60, 160}, White, Black, Black, Black, {210, 222, 236}}},
       false,
       false,
       false,
       false,
       false,
       0.5,
       0.5,
       0,
       0,
       "Flinder",
       Arial(11.25f)},
      // The largest: a twelve-point sun on a night sky with a shadowed caption.
      {"Sunburst",
       {23, 100, 0.3f, 4, 60, 400, 300, 0.3f, 0, 3},
       {{{255, 255, 190}, {255, 90, 0}, {0, 0, 40}, White, Black, {120, 0, 0}, {70, 0, 90}}},
       true,
       true,
       false,
       true,
       true,
       0.5,
       0.42,
       0.305,
       0.8,
       "Flinder",
       Arial(28)},
      // A caption behind a star, both with shadows, on a warm light ground.
      {"Welcome",
       {10, 50, -1, 3, 80, 260, 140, 0.55f, 5, 2},
       {{{255, 100, 100},
         {150, 0, 30},
         {255, 250, 232},
         {30, 60, 140},
         {190, 175, 160},
         {170, 170, 205},
         {255, 222, 180}}},
       true,
       true,
       true,
       true,
       false,
       0.3,
       0.5,
       0.45,
       0.39,
       "Welcome",
       Arial(20)},
  };
  return designs;
}

ShapeSettings SettingsOf(const SampleDesign& design) {
  ShapeSettings settings;
  for (int i = 0; i < ParameterCount; ++i)
    settings.SetSlider(static_cast<std::int16_t>(i), PositionFor(i, design.Values[i]));
  for (int slot = 0; slot < ColourSlotCount; ++slot) {
    settings.SelectSlot(slot);
    const Rgb& c = design.Colours[slot];
    // c / 255 comes back as exactly c.
    settings.SetSlider(RedSlider, static_cast<float>(c.Red) / 255);
    settings.SetSlider(GreenSlider, static_cast<float>(c.Green) / 255);
    settings.SetSlider(BlueSlider, static_cast<float>(c.Blue) / 255);
  }
  settings.SelectSlot(Inner);
  settings.Star = design.Star;
  settings.ShowText = design.ShowText;
  settings.ViewShapeShadow = design.ViewShapeShadow;
  settings.ViewTextShadow = design.ViewTextShadow;
  settings.TextFront = design.TextFront;
  settings.PosX = design.PosX;
  settings.PosY = design.PosY;
  settings.TextX = design.TextX;
  settings.TextY = design.TextY;
  settings.Text = design.Text;
  settings.Font = design.Font;
  return settings;
}

Result<> WriteSampleDesigns(const std::string& iniFile) {
  if (Result<> written = ReplaceFile(iniFile, ""); !written)
    return Failure{"Cannot write " + iniFile + ": " + written.Message()};
  DesignFile file(iniFile);
  for (const SampleDesign& design : SampleDesigns())
    if (Result<> saved = file.SaveShape(SettingsOf(design), design.Name); !saved) return saved;
  return {};
}

}  // namespace flinder
