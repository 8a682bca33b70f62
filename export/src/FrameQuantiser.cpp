#include "export/FrameQuantiser.h"

#include <libimagequant.h>

#include <memory>
#include <stdexcept>
#include <unordered_map>

namespace flinder {

namespace {

constexpr std::size_t MaxColours = 256;
// Entries a quantised frame leaves free when the previous frame does not bind
// it, so that the next frames have room for what moves in them.
constexpr int SpareColours = 32;
constexpr int QuantiserSpeed = 5;

struct Palette {
  std::vector<ColourValue> Colours;
  std::unordered_map<ColourValue, std::uint8_t> IndexOf;

  // Index of the colour, added when new; the caller keeps within 256.
  std::uint8_t Add(ColourValue colour) {
    auto [entry, added] = IndexOf.try_emplace(colour, static_cast<std::uint8_t>(Colours.size()));
    if (added) Colours.push_back(colour);
    return entry->second;
  }
  bool Full() const { return Colours.size() >= MaxColours; }
};

int SquaredDistance(ColourValue a, ColourValue b) {
  int red = RedOf(a) - RedOf(b), green = GreenOf(a) - GreenOf(b), blue = BlueOf(a) - BlueOf(b);
  return red * red + green * green + blue * blue;
}

// Adds every colour of the changed pixels and gives them their exact index;
// false (with `palette` and `indexes` half filled) when 256 entries are not
// enough.
bool MapExactly(const Raster& frame, const std::vector<std::size_t>& changed, Palette& palette,
                std::vector<std::uint8_t>& indexes) {
  ColourValue last = -1;
  std::uint8_t lastIndex = 0;
  for (std::size_t p : changed) {
    ColourValue colour = frame.Pixels[p];
    if (colour != last) {
      if (palette.Full() && !palette.IndexOf.contains(colour)) return false;
      last = colour;
      lastIndex = palette.Add(colour);
    }
    indexes[p] = lastIndex;
  }
  return true;
}

// Gives each changed pixel the nearest palette colour.
void MapNearest(const Raster& frame, const std::vector<std::size_t>& changed,
                const Palette& palette, std::vector<std::uint8_t>& indexes) {
  std::unordered_map<ColourValue, std::uint8_t> nearest;
  ColourValue last = -1;
  std::uint8_t lastIndex = 0;
  for (std::size_t p : changed) {
    ColourValue colour = frame.Pixels[p];
    if (colour != last) {
      auto [entry, added] = nearest.try_emplace(colour, 0);
      if (added) {
        int bestError = SquaredDistance(colour, palette.Colours[0]);
        for (std::size_t i = 1; i < palette.Colours.size() && bestError > 0; ++i) {
          int error = SquaredDistance(colour, palette.Colours[i]);
          if (error < bestError) {
            bestError = error;
            entry->second = static_cast<std::uint8_t>(i);
          }
        }
      }
      last = colour;
      lastIndex = entry->second;
    }
    indexes[p] = lastIndex;
  }
}

struct QuantiserDeleter {
  void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
  void operator()(liq_histogram* histogram) const { liq_histogram_destroy(histogram); }
  void operator()(liq_result* result) const { liq_result_destroy(result); }
};
template <typename T>
using QuantiserPtr = std::unique_ptr<T, QuantiserDeleter>;

// A palette of at most `maxColours` entries for the changed pixels that
// contains every colour of `fixed`.
std::vector<ColourValue> QuantisedPalette(const Raster& frame,
                                          const std::vector<std::size_t>& changed,
                                          const std::vector<ColourValue>& fixed, int maxColours) {
  std::unordered_map<ColourValue, unsigned> counts;
  ColourValue last = -1;
  unsigned run = 0;
  for (std::size_t p : changed) {
    if (frame.Pixels[p] != last) {
      if (run > 0) counts[last] += run;
      last = frame.Pixels[p];
      run = 0;
    }
    ++run;
  }
  if (run > 0) counts[last] += run;
  std::vector<liq_histogram_entry> entries;
  entries.reserve(counts.size());
  auto entryColour = [](ColourValue colour) {
    return liq_color{static_cast<unsigned char>(RedOf(colour)),
                     static_cast<unsigned char>(GreenOf(colour)),
                     static_cast<unsigned char>(BlueOf(colour)), 255};
  };
  for (auto [colour, count] : counts) entries.push_back({entryColour(colour), count});

  QuantiserPtr<liq_attr> attr(liq_attr_create());
  if (!attr) throw std::runtime_error("cannot start the colour quantiser");
  liq_set_max_colors(attr.get(), maxColours);
  liq_set_speed(attr.get(), QuantiserSpeed);
  QuantiserPtr<liq_histogram> histogram(liq_histogram_create(attr.get()));
  if (!histogram || liq_histogram_add_colors(histogram.get(), attr.get(), entries.data(),
                                             static_cast<int>(entries.size()), 0) != LIQ_OK)
    throw std::runtime_error("cannot quantise the frame");
  for (ColourValue colour : fixed)
    liq_histogram_add_fixed_color(histogram.get(), entryColour(colour), 0);
  liq_result* raw = nullptr;
  if (liq_histogram_quantize(histogram.get(), attr.get(), &raw) != LIQ_OK)
    throw std::runtime_error("cannot quantise the frame");
  QuantiserPtr<liq_result> result(raw);
  const liq_palette* found = liq_get_palette(result.get());
  std::vector<ColourValue> colours;
  for (unsigned i = 0; i < found->count; ++i)
    colours.push_back(MakeColour(found->entries[i].r, found->entries[i].g, found->entries[i].b));
  return colours;
}

}  // namespace

IndexedFrame FrameQuantiser::Quantise(const Raster& frame) {
  IndexedFrame out{frame.Width, frame.Height, {}, std::vector<std::uint8_t>(frame.Pixels.size())};
  bool continues = !PreviousSource.Pixels.empty() && PreviousSource.Width == frame.Width &&
                   PreviousSource.Height == frame.Height;

  // Unchanged pixels take their previous output colour; those colours are
  // the fixed part of this frame's palette.
  Palette fixed;
  std::vector<int> keptIndex(MaxColours, -1);
  std::vector<std::size_t> changed;
  for (std::size_t p = 0; p < frame.Pixels.size(); ++p) {
    if (continues && frame.Pixels[p] == PreviousSource.Pixels[p]) {
      std::uint8_t old = PreviousOutput.Indexes[p];
      if (keptIndex[old] < 0) keptIndex[old] = fixed.Add(PreviousOutput.Palette[old]);
      out.Indexes[p] = static_cast<std::uint8_t>(keptIndex[old]);
    } else {
      changed.push_back(p);
    }
  }

  Palette chosen = fixed;
  if (!MapExactly(frame, changed, chosen, out.Indexes)) {
    chosen = fixed;
    int budget = continues ? MaxColours : MaxColours - SpareColours;
    if (!fixed.Full()) {
      for (ColourValue colour : QuantisedPalette(frame, changed, fixed.Colours, budget))
        if (!chosen.Full()) chosen.Add(colour);
    }
    MapNearest(frame, changed, chosen, out.Indexes);
  }

  out.Palette = std::move(chosen.Colours);
  PreviousSource = frame;
  PreviousOutput = out;
  return out;
}

}  // namespace flinder
