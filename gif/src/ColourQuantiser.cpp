#include "gif/ColourQuantiser.h"

#include <libimagequant.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

namespace flinder {

namespace {

// Slower settings give no better palette once the rounds below refine it.
constexpr int QuantiserSpeed = 5;
// Rounds of weighted k-means after the quantiser: it works in a perceptual
// space, these bring the palette to the least squared error in plain RGB.
constexpr int RefineRounds = 12;

int SquaredDistance(ColourValue a, ColourValue b) {
  int red = RedOf(a) - RedOf(b), green = GreenOf(a) - GreenOf(b), blue = BlueOf(a) - BlueOf(b);
  return red * red + green * green + blue * blue;
}

struct QuantiserDeleter {
  void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
  void operator()(liq_histogram* histogram) const { liq_histogram_destroy(histogram); }
  void operator()(liq_result* result) const { liq_result_destroy(result); }
};
template <typename T>
using QuantiserPtr = std::unique_ptr<T, QuantiserDeleter>;

// Given the colours of our own frames and settings in range, the quantiser
// fails only for want of memory.
void CheckQuantiser(liq_error error) {
  if (error == LIQ_OUT_OF_MEMORY) throw std::bad_alloc();
  if (error != LIQ_OK) throw std::logic_error("the colour quantiser refused its input");
}

std::vector<ColourValue> QuantiserPalette(const std::vector<ColourCount>& histogram,
                                          int maxColours) {
  std::vector<liq_histogram_entry> entries;
  entries.reserve(histogram.size());
  for (auto [colour, count] : histogram)
    entries.push_back(
        {{static_cast<unsigned char>(RedOf(colour)), static_cast<unsigned char>(GreenOf(colour)),
          static_cast<unsigned char>(BlueOf(colour)), 255},
         count});
  QuantiserPtr<liq_attr> attr(liq_attr_create());
  if (!attr) throw std::bad_alloc();
  liq_set_max_colors(attr.get(), maxColours);
  liq_set_speed(attr.get(), QuantiserSpeed);
  QuantiserPtr<liq_histogram> list(liq_histogram_create(attr.get()));
  if (!list) throw std::bad_alloc();
  CheckQuantiser(liq_histogram_add_colors(list.get(), attr.get(), entries.data(),
                                          static_cast<int>(entries.size()), 0));
  liq_result* raw = nullptr;
  CheckQuantiser(liq_histogram_quantize(list.get(), attr.get(), &raw));
  QuantiserPtr<liq_result> result(raw);
  const liq_palette* found = liq_get_palette(result.get());
  std::vector<ColourValue> colours;
  for (unsigned i = 0; i < found->count; ++i)
    colours.push_back(MakeColour(found->entries[i].r, found->entries[i].g, found->entries[i].b));
  return colours;
}

// One k-means round: every palette colour moves to the weighted mean of the
// colours nearest to it. Returns the squared error before the move.
double Refine(const std::vector<ColourCount>& histogram, std::vector<ColourValue>& palette) {
  std::vector<std::array<double, 4>> sums(palette.size(), {0, 0, 0, 0});
  const NearestColourSearch search(palette);
  double error = 0;
  for (auto [colour, count] : histogram) {
    std::size_t nearest = search.Nearest(colour);
    error += static_cast<double>(count) * SquaredDistance(colour, palette[nearest]);
    auto& sum = sums[nearest];
    sum[0] += static_cast<double>(count) * RedOf(colour);
    sum[1] += static_cast<double>(count) * GreenOf(colour);
    sum[2] += static_cast<double>(count) * BlueOf(colour);
    sum[3] += count;
  }
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const auto& sum = sums[i];
    if (sum[3] == 0) continue;
    auto mean = [&](int c) { return static_cast<int>(std::lround(sum[c] / sum[3])); };
    palette[i] = MakeColour(mean(0), mean(1), mean(2));
  }
  return error;
}

// The quantiser stops once its palette looks good enough, often well short
// of the entries allowed. Each free entry goes to the colour that costs the
// most squared error as things stand, so the k-means rounds start from a
// palette that uses every entry.
void FillFreeEntries(const std::vector<ColourCount>& histogram, std::vector<ColourValue>& palette,
                     int maxColours) {
  if (palette.empty() || static_cast<int>(palette.size()) >= maxColours) return;
  const NearestColourSearch search(palette);
  std::vector<int> distance(histogram.size());
  for (std::size_t i = 0; i < histogram.size(); ++i)
    distance[i] =
        SquaredDistance(histogram[i].Colour, palette[search.Nearest(histogram[i].Colour)]);
  while (static_cast<int>(palette.size()) < maxColours) {
    std::size_t worst = 0;
    double worstCost = 0;
    for (std::size_t i = 0; i < histogram.size(); ++i) {
      double cost = static_cast<double>(histogram[i].Count) * distance[i];
      if (cost > worstCost) {
        worstCost = cost;
        worst = i;
      }
    }
    if (worstCost == 0) return;  // every colour has its exact entry
    const ColourValue added = histogram[worst].Colour;
    palette.push_back(added);
    for (std::size_t i = 0; i < histogram.size(); ++i)
      distance[i] = std::min(distance[i], SquaredDistance(histogram[i].Colour, added));
  }
}

}  // namespace

std::vector<ColourValue> QuantiseColours(const std::vector<ColourCount>& histogram,
                                         int maxColours) {
  std::vector<ColourValue> palette = QuantiserPalette(histogram, maxColours);
  FillFreeEntries(histogram, palette, maxColours);
  // Rounded means can make a round worse; the best palette seen is kept.
  std::vector<ColourValue> best = palette;
  double bestError = Refine(histogram, palette);
  for (int round = 1; round < RefineRounds; ++round) {
    std::vector<ColourValue> before = palette;
    double error = Refine(histogram, palette);
    if (error >= bestError) break;
    bestError = error;
    best = std::move(before);
  }
  return best;
}

NearestColourSearch::NearestColourSearch(const std::vector<ColourValue>& palette) {
  double widest = -1;
  for (int shift : {0, 8, 16}) {
    double sum = 0, squares = 0;
    for (ColourValue colour : palette) {
      double value = (colour >> shift) & 0xFF;
      sum += value;
      squares += value * value;
    }
    double spread = squares - sum * sum / static_cast<double>(palette.size());
    if (spread > widest) {
      widest = spread;
      shift_ = shift;
    }
  }
  for (std::size_t i = 0; i < palette.size(); ++i)
    entries_.push_back({(palette[i] >> shift_) & 0xFF, palette[i], i});
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return a.Key < b.Key; });
  std::size_t at = 0;
  for (int value = 0; value <= 256; ++value) {
    while (at < entries_.size() && entries_[at].Key < value) ++at;
    firstAtLeast_[value] = at;
  }
}

std::size_t NearestColourSearch::Nearest(ColourValue colour) const {
  const int key = (colour >> shift_) & 0xFF;
  const std::size_t start = firstAtLeast_[key];
  int bestError = std::numeric_limits<int>::max();
  std::size_t best = 0;
  auto consider = [&](const Entry& entry) {
    int error = SquaredDistance(colour, entry.Colour);
    if (error < bestError || (error == bestError && entry.Index < best)) {
      bestError = error;
      best = entry.Index;
    }
  };
  for (std::size_t i = start; i < entries_.size(); ++i) {
    int off = entries_[i].Key - key;
    if (off * off > bestError) break;
    consider(entries_[i]);
  }
  for (std::size_t i = start; i-- > 0;) {
    int off = key - entries_[i].Key;
    if (off * off > bestError) break;
    consider(entries_[i]);
  }
  return best;
}

}  // namespace flinder
