#include "gif/AnimationPalette.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "gif/ColourQuantiser.h"

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
    if (!IsBackground(*pixel)) AddCount(Counts[*pixel], static_cast<std::size_t>(runEnd - pixel));
    if (IsBackground(*pixel) && !Matte) Matte = *pixel & ~BackgroundMark;
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
  Transparent = -1;
  const std::size_t colours = Matte ? MaxColours - 1 : MaxColours;
  if (histogram.size() <= colours) {
    for (auto [colour, count] : histogram) {
      Indexes[colour] = static_cast<std::uint32_t>(Palette.size());
      Palette.push_back(colour);
    }
    // An animation without pixels still gets a palette to map with.
    if (Palette.empty()) Palette.push_back(MakeColour(0, 0, 0));
    Search.emplace(Palette);
  } else {
    Palette = QuantiseColours(histogram, static_cast<int>(colours));
    Search.emplace(Palette);
    for (auto [colour, count] : histogram)
      Indexes[colour] = static_cast<std::uint32_t>(Search->Nearest(colour));
  }
  SearchIndex.resize(Palette.size());
  for (std::size_t i = 0; i < SearchIndex.size(); ++i)
    SearchIndex[i] = static_cast<std::uint8_t>(i);
  if (Matte) {
    Transparent = static_cast<int>(Palette.size());
    Palette.push_back(*Matte);
  }
}

void AnimationPalette::AddChanges(const Raster& previous, const Raster& frame) {
  ColourHashTable changed;
  for (std::size_t p = 0; p < frame.Pixels.size(); ++p)
    if (frame.Pixels[p] != previous.Pixels[p] && !IsBackground(frame.Pixels[p]))
      changed[frame.Pixels[p]] = 1;
  changed.ForEach([&](ColourValue colour, std::uint32_t) { AddCount(ChangingFrames[colour], 1); });
}

void AnimationPalette::OrderByUse() {
  if (!Search) throw std::logic_error("the animation palette is not built");
  struct Use {
    std::uint64_t Changing = 0, All = 0;
  };
  std::vector<Use> use(Palette.size());
  Counts.ForEach(
      [&](ColourValue colour, std::uint32_t count) { use[*Indexes.Find(colour)].All += count; });
  ChangingFrames.ForEach([&](ColourValue colour, std::uint32_t frames) {
    std::uint64_t& changing = use[IndexOf(colour)].Changing;
    changing = std::max<std::uint64_t>(changing, frames);
  });
  if (Transparent >= 0) use[Transparent] = {UINT64_MAX, UINT64_MAX};
  std::vector<std::uint32_t> order(Palette.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return use[a].Changing != use[b].Changing ? use[a].Changing > use[b].Changing
                                              : use[a].All > use[b].All;
  });
  std::vector<std::uint32_t> moved(Palette.size());
  std::vector<ColourValue> ordered(Palette.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) {
    moved[order[i]] = i;
    ordered[i] = Palette[order[i]];
  }
  ColourHashTable indexes;
  Indexes.ForEach([&](ColourValue colour, std::uint32_t index) { indexes[colour] = moved[index]; });
  Indexes = std::move(indexes);
  if (Transparent >= 0) Transparent = static_cast<int>(moved[Transparent]);
  Palette = std::move(ordered);
  for (std::uint8_t& index : SearchIndex) index = static_cast<std::uint8_t>(moved[index]);
}

std::uint8_t AnimationPalette::IndexOf(ColourValue colour) const {
  if (IsBackground(colour)) {
    if (Transparent >= 0) return static_cast<std::uint8_t>(Transparent);
    colour &= ~BackgroundMark;
  }
  if (const std::uint32_t* index = Indexes.Find(colour)) return static_cast<std::uint8_t>(*index);
  return SearchIndex[Search->Nearest(colour)];
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
