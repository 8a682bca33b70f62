#include "export/AnimationPalette.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "export/ColourQuantiser.h"

namespace flinder {

namespace {

constexpr int MaxColours = 256;

void AddCount(std::uint32_t& count, std::size_t more) {
  count = static_cast<std::uint32_t>(
      std::min<std::size_t>(count + more, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace

void AnimationPalette::AddFrame(const Raster& frame) {
  const ColourValue* pixel = frame.Pixels.data();
  const ColourValue* end = pixel + frame.Pixels.size();
  while (pixel != end) {
    const ColourValue* runEnd = pixel + 1;
    while (runEnd != end && *runEnd == *pixel) ++runEnd;
    AddCount(Counts[*pixel], static_cast<std::size_t>(runEnd - pixel));
    pixel = runEnd;
  }
}

void AnimationPalette::Build() {
  std::vector<ColourCount> histogram;
  histogram.reserve(Counts.Size());
  Counts.ForEach([&](ColourValue colour, std::uint32_t count) {
    histogram.push_back({colour, count});
  });
  // A fixed order makes the file the same whatever the table's layout.
  std::sort(histogram.begin(), histogram.end(),
            [](const ColourCount& a, const ColourCount& b) { return a.Colour < b.Colour; });

  Palette.clear();
  Search.reset();
  Indexes = ColourHashTable();
  if (histogram.size() <= MaxColours) {
    for (auto [colour, count] : histogram) {
      Indexes[colour] = static_cast<std::uint32_t>(Palette.size());
      Palette.push_back(colour);
    }
    // An animation without pixels still gets a palette to map with.
    if (Palette.empty()) Palette.push_back(MakeColour(0, 0, 0));
    Search.emplace(Palette);
    return;
  }
  Palette = QuantiseColours(histogram, MaxColours);
  Search.emplace(Palette);
  for (auto [colour, count] : histogram)
    Indexes[colour] = static_cast<std::uint32_t>(Search->Nearest(colour));
}

std::uint8_t AnimationPalette::IndexOf(ColourValue colour) const {
  if (const std::uint32_t* index = Indexes.Find(colour)) return static_cast<std::uint8_t>(*index);
  return static_cast<std::uint8_t>(Search->Nearest(colour));
}

IndexedFrame AnimationPalette::Map(const Raster& frame) const {
  if (!Search) throw std::logic_error("the animation palette is not built");
  IndexedFrame out{frame.Width, frame.Height, Palette,
                   std::vector<std::uint8_t>(frame.Pixels.size())};
  const std::size_t size = frame.Pixels.size();
  std::size_t p = 0;
  while (p < size) {
    const ColourValue colour = frame.Pixels[p];
    const std::uint8_t index = IndexOf(colour);
    do out.Indexes[p++] = index;
    while (p < size && frame.Pixels[p] == colour);
  }
  return out;
}

}  // namespace flinder
