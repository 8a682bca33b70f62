#pragma once

#include <optional>
#include <vector>

#include "gif/ColourHashTable.h"
#include "gif/ColourQuantiser.h"
#include "gif/ColourRuns.h"
#include "gif/IndexedFrame.h"
#include "render/Raster.h"

namespace flinder {

// One palette for all frames of an animation. A colour maps to the same
// palette entry in every frame, so pixels that keep their colour from frame
// to frame keep it in the GIF as well. Background pixels of a transparent
// design (IsBackground) share one transparent entry.
class AnimationPalette {
 public:
  // Counts the frame's colours, run by run of equal pixels. Frames are added
  // in order: the first background colour seen stands for the transparent entry.
  void AddFrame(const ColourRuns& frame);
  void AddFrame(const Raster& frame) { AddFrame(ColourRuns(frame)); }

  // Chooses the palette from the frames added so far: their colours exactly
  // when there are at most 256, otherwise 256 quantised ones weighted by
  // pixel count; with background pixels one entry fewer, and the
  // transparent entry last. Throws std::bad_alloc when the quantiser has no memory.
  void Build();

  // Counts the colours of the pixels that change from `previous` to `frame`,
  // of the same size: what a file that stores only changes holds.
  void AddChanges(const ColourRuns& previous, const ColourRuns& frame);
  void AddChanges(const Raster& previous, const Raster& frame) {
    AddChanges(ColourRuns(previous), ColourRuns(frame));
  }

  // Puts the transparent entry first, then the others in order of how many
  // frames change pixels to them, then of how many pixels in all, so that
  // the small pictures of a file that stores changes need short codes. Every
  // colour keeps the colour it maps to. Call after Build.
  void OrderByUse();

  // The frame as palette indexes; every colour takes its nearest palette
  // entry, so colours never added are mapped too. Safe to call from several
  // threads at once; throws std::logic_error before Build.
  IndexedFrame Map(const ColourRuns& frame) const;
  // The same into `mapped`, whose memory is used again.
  void Map(const ColourRuns& frame, IndexedFrame& mapped) const;
  IndexedFrame Map(const Raster& frame) const { return Map(ColourRuns(frame)); }

  const std::vector<ColourValue>& Colours() const { return palette_; }
  // True when Build kept every colour counted, none merged with another.
  bool Exact() const { return exact_; }
  // The entry background pixels map to; -1 when the frames had none.
  int TransparentIndex() const { return transparent_; }

 private:
  std::uint8_t IndexOf(ColourValue colour) const;

  ColourHashTable counts_;
  ColourHashTable changingFrames_;  // per colour, the frames that change pixels to it
  // Every counted colour's palette index, filled by Build.
  ColourHashTable indexes_;
  std::vector<ColourValue> palette_;
  bool exact_ = true;
  std::optional<NearestColourSearch> search_;
  // The palette index of each entry the search finds; OrderByUse moves them.
  std::vector<std::uint8_t> searchIndex_;
  // The first background colour seen stands in for the transparent entry
  // with readers that show no transparency.
  std::optional<ColourValue> matte_;
  int transparent_ = -1;
};

}  // namespace flinder
