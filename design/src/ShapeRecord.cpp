#include "design/ShapeRecord.h"

#include <array>
#include <string>

#include "design/DecimalText.h"
#include "design/ValueText.h"

namespace flinder {
namespace {

// Key stems of the colour slots, in slot order.
constexpr std::array<const char*, ColourSlotCount> SlotKeys = {
    "Inner", "Outer", "Back", "Text", "ShapeShadow", "TextShadow", "Dither"};
constexpr std::array<char, 3> ComponentKeys = {'R', 'G', 'B'};

struct SwitchKey {
  Switch which;
  const char* key;
};
// In the order a save writes them; the first four load through their toggles.
constexpr std::array<SwitchKey, 8> SwitchKeys = {{
    {Switch::Star, "Star"},
    {Switch::ShowText, "ShowText"},
    {Switch::ViewShapeShadow, "ViewShapeShadow"},
    {Switch::ViewTextShadow, "ViewTextShadow"},
    {Switch::ViewLine, "ViewLine"},
    {Switch::ViewLineShadow, "ViewLineShadow"},
    {Switch::TextFront, "TextFront"},
    // Missing in files from before transparent backgrounds: reads as off.
    {Switch::Transparent, "Transparent"},
}};
constexpr std::size_t ToggledSwitches = 4;

std::string SliderKey(int index) {
  return "Slider" + std::to_string(index);
}

std::string ColourKey(int slot, int component) {
  return std::string(SlotKeys[slot]) + ComponentKeys[component];
}

void RunToggle(ShapeSettings& settings, Switch which) {
  switch (which) {
    case Switch::Star:
      settings.ToggleStar();
      break;
    case Switch::ShowText:
      settings.ToggleText();
      break;
    case Switch::ViewShapeShadow:
      settings.ToggleShapeShadow();
      break;
    default:
      settings.ToggleTextShadow();
      break;
  }
}

}  // namespace

void WriteShape(IniDocument& file, const ShapeSettings& settings, std::string_view name) {
  file.Write("Shapes", name, "1");
  auto put = [&](const std::string& key, const std::string& value) {
    file.Write(name, key, value);
  };
  for (int i = 0; i < ParameterCount; ++i)
    put(SliderKey(i), ExactSingleText(settings.SliderPos(i)));
  for (int slot = 0; slot < ColourSlotCount; ++slot)
    for (int c = 0; c < 3; ++c)
      put(ColourKey(slot, c), ExactSingleText(settings.SliderPos(ColourIndex(slot, c))));
  for (const SwitchKey& s : SwitchKeys) put(s.key, BooleanText(settings.SwitchOn(s.which)));
  put("PosX", DoubleText(settings.PosX));
  put("PosY", DoubleText(settings.PosY));
  put("TextX", DoubleText(settings.TextX));
  put("TextY", DoubleText(settings.TextY));
  put("Text", settings.Text);
  put("FontName", settings.Font.FontName);
  put("FontSize", FontSizeText(settings.Font.FontSize));
  put("FontBold", BooleanText(settings.Font.FontBold));
  put("FontItalic", BooleanText(settings.Font.FontItalic));
  put("FontUnderline", BooleanText(settings.Font.FontUnderline));
  put("FontStrikethru", BooleanText(settings.Font.FontStrikethru));
}

void ReadShape(const IniDocument& file, ShapeSettings& settings, std::string_view name) {
  auto get = [&](const std::string& key) { return file.Read(name, key); };
  auto number = [&](const std::string& key) { return ParseNumber(get(key)); };
  auto slider = [&](int index, const std::string& key) {
    settings.SetSlider(static_cast<std::int16_t>(index), static_cast<float>(number(key)));
  };

  for (int i = 0; i < ParameterCount; ++i) slider(i, SliderKey(i));
  for (int slot = ColourSlotCount - 1; slot >= 0; --slot) {
    settings.SelectSlot(slot);
    for (int c = 0; c < 3; ++c) slider(RedSlider + c, ColourKey(slot, c));
  }

  for (std::size_t i = 0; i < SwitchKeys.size(); ++i) {
    bool stored = IsTrue(get(SwitchKeys[i].key));
    if (i < ToggledSwitches) {
      // Set to the opposite, then toggled, so the menus and tool buttons
      // follow the stored value.
      settings.SetSwitch(SwitchKeys[i].which, !stored);
      RunToggle(settings, SwitchKeys[i].which);
    } else {
      settings.SetSwitch(SwitchKeys[i].which, stored);
    }
  }

  // A missing or empty face name keeps the face there is.
  if (std::string face = get("FontName"); !face.empty()) settings.Font.FontName = face;
  settings.Font.FontBold = IsTrue(get("FontBold"));
  if (std::string size = get("FontSize"); !size.empty())
    settings.Font.FontSize = static_cast<float>(ParseNumber(size));
  settings.Font.FontItalic = IsTrue(get("FontItalic"));
  settings.Font.FontUnderline = IsTrue(get("FontUnderline"));
  settings.Font.FontStrikethru = IsTrue(get("FontStrikethru"));

  settings.PosX = number("PosX");
  settings.PosY = number("PosY");
  settings.TextX = number("TextX");
  settings.TextY = number("TextY");
  settings.Text = get("Text");
  if (settings.Observer()) settings.Observer()->CaptionChanged();
  settings.CurrentShape = name;
}

}  // namespace flinder
