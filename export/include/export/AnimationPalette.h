#pragma once

#include <optional>
#include <vector>

#include "export/ColourHashTable.h"
#include "export/ColourQuantiser.h"
#include "export/IndexedFrame.h"
#include "render/Raster.h"

namespace flinder {

// One palette for all frames of an animation. A colour maps to the same
// palette entry in every frame, so pixels that keep their colour from frame
// to frame keep it in the GIF as well.
class AnimationPalette {
 public:
  // Counts the frame's colours, run by run of equal pixels.
  void AddFrame(const Raster& frame);

  // Chooses the palette from the frames added so far: their colours exactly
  // when there are at most 256, otherwise 256 quantised ones weighted by
  // pixel count. Throws std::runtime_error when the quantiser fails.
  void Build();

  // The frame as palette indexes; every colour takes its nearest palette
  // entry, so colours never added are mapped too. Safe to call from several
  // threads at once; throws std::logic_error before Build.
  IndexedFrame Map(const Raster& frame) const;

  const std::vector<ColourValue>& Colours() const { return Palette; }

 private:
  std::uint8_t IndexOf(ColourValue colour) const;

  ColourHashTable Counts;
  // Every counted colour's palette index, filled by Build.
  ColourHashTable Indexes;
  std::vector<ColourValue> Palette;
  std::optional<NearestColourSearch> Search;
};

}  // namespace flinder
