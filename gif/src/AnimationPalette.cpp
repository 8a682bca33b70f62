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

void AnimationPalette::AddFrame(const ColourRuns& frame) {
  for (auto [colour, length] : frame.Runs) {
    if (!IsBackground(colour)) AddCount(counts_[colour], length);
    if (IsBackground(colour) && !matte_) matte_ = colour & ~BackgroundMark;
  }
}

void AnimationPalette::Build() {
  std::vector<ColourCount> histogram;
  histogram.reserve(counts_.Size());
  counts_.ForEach([&](ColourValue colour, std::uint32_t count) {
    histogram.push_back({colour, count});
  });
  // A fixed order makes the file the same whatever the table's layout.
  std::sort(histogram.begin(), histogram.end(),
            [](const ColourCount& a, const ColourCount& b) { return a.Colour < b.Colour; });

  palette_.clear();
  search_.reset();
  indexes_ = ColourHashTable();
  transparent_ = -1;
  const std::size_t colours = matte_ ? MaxColours - 1 : MaxColours;
  exact_ = histogram.size() <= colours;
  if (exact_) {
    for (auto [colour, count] : histogram) {
      indexes_[colour] = static_cast<std::uint32_t>(palette_.size());
      palette_.push_back(colour);
    }
    // An animation without pixels still gets a palette to map with.
    if (palette_.empty()) palette_.push_back(MakeColour(0, 0, 0));
    search_.emplace(palette_);
  } else {
    palette_ = QuantiseColours(histogram, static_cast<int>(colours));
    search_.emplace(palette_);
    for (auto [colour, count] : histogram)
      indexes_[colour] = static_cast<std::uint32_t>(search_->Nearest(colour));
  }
  searchIndex_.resize(palette_.size());
  for (std::size_t i = 0; i < searchIndex_.size(); ++i)
    searchIndex_[i] = static_cast<std::uint8_t>(i);
  if (matte_) {
    transparent_ = static_cast<int>(palette_.size());
    palette_.push_back(*matte_);
  }
}

// The two frames' runs are walked side by side, one stretch where neither
// run ends at a time.
void AnimationPalette::AddChanges(const ColourRuns& previous, const ColourRuns& frame) {
  if (previous.Width != frame.Width || previous.Height != frame.Height)
    throw std::invalid_argument("frames of different sizes");
  ColourHashTable changed;
  auto before = previous.Runs.begin();
  std::uint32_t beforeLeft = before == previous.Runs.end() ? 0 : before->Length;
  for (auto [colour, length] : frame.Runs) {
    while (length > 0) {
      const std::uint32_t stretch = std::min(length, beforeLeft);
      if (colour != before->Colour && !IsBackground(colour)) changed[colour] = 1;
      length -= stretch;
      beforeLeft -= stretch;
      if (beforeLeft == 0 && ++before != previous.Runs.end()) beforeLeft = before->Length;
    }
  }
  changed.ForEach([&](ColourValue colour, std::uint32_t) { AddCount(changingFrames_[colour], 1); });
}

void AnimationPalette::OrderByUse() {
  if (!search_) throw std::logic_error("the animation palette is not built");
  struct Use {
    std::uint64_t Changing = 0, All = 0;
  };
  std::vector<Use> use(palette_.size());
  counts_.ForEach(
      [&](ColourValue colour, std::uint32_t count) { use[*indexes_.Find(colour)].All += count; });
  changingFrames_.ForEach([&](ColourValue colour, std::uint32_t frames) {
    std::uint64_t& changing = use[IndexOf(colour)].Changing;
    changing = std::max<std::uint64_t>(changing, frames);
  });
  if (transparent_ >= 0) use[transparent_] = {UINT64_MAX, UINT64_MAX};
  std::vector<std::uint32_t> order(palette_.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return use[a].Changing != use[b].Changing ? use[a].Changing > use[b].Changing
                                              : use[a].All > use[b].All;
  });
  std::vector<std::uint32_t> moved(palette_.size());
  std::vector<ColourValue> ordered(palette_.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) {
    moved[order[i]] = i;
    ordered[i] = palette_[order[i]];
  }
  ColourHashTable indexes;
  indexes_.ForEach(
      [&](ColourValue colour, std::uint32_t index) { indexes[colour] = moved[index]; });
  indexes_ = std::move(indexes);
  if (transparent_ >= 0) transparent_ = static_cast<int>(moved[transparent_]);
  palette_ = std::move(ordered);
  for (std::uint8_t& index : searchIndex_) index = static_cast<std::uint8_t>(moved[index]);
}

std::uint8_t AnimationPalette::IndexOf(ColourValue colour) const {
  if (IsBackground(colour)) {
    if (transparent_ >= 0) return static_cast<std::uint8_t>(transparent_);
    colour &= ~BackgroundMark;
  }
  if (const std::uint32_t* index = indexes_.Find(colour)) return static_cast<std::uint8_t>(*index);
  return searchIndex_[search_->Nearest(colour)];
}

IndexedFrame AnimationPalette::Map(const ColourRuns& frame) const {
  IndexedFrame mapped;
  Map(frame, mapped);
  return mapped;
}

void AnimationPalette::Map(const ColourRuns& frame, IndexedFrame& mapped) const {
  if (!search_) throw std::logic_error("the animation palette is not built");
  mapped.Width = frame.Width;
  mapped.Height = frame.Height;
  mapped.Palette = palette_;
  mapped.Indexes.resize(static_cast<std::size_t>(frame.Width) * frame.Height);
  auto at = mapped.Indexes.begin();
  for (auto [colour, length] : frame.Runs) at = std::fill_n(at, length, IndexOf(colour));
}

}  // namespace flinder
