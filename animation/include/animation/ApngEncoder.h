#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "animation/AnimationTiming.h"
#include "animation/FrameChange.h"
#include "render/RgbaRaster.h"

namespace flinder {

// Writes an animated PNG: the first frame whole, every later one as the
// rectangle that changed (FrameChange), nothing disposed, laid over the frame
// before where it can be, else replacing its rectangle. The pixels are stored
// in the smallest format that holds every frame exactly: 8-bit palette
// indexes for at most 256 opaque colours, replacing; else RGB, replacing,
// while every pixel is opaque and no frame packs smaller laid over in RGBA;
// else RGBA. A single frame makes a plain PNG.
// The frames go in one by one through AddFrame, or, to spread the work:
// Prepare in frame order, Encode on any threads while neither Prepare nor Add
// runs, Add in frame order.
class ApngEncoder {
 public:
  enum class PixelKind { Palette, Rgb, Rgba };

  // A frame on its way into the file.
  struct Frame {
    FrameChange Change;
    PixelKind Kind = PixelKind::Palette;  // as packed
    RgbaRaster Source;  // the rectangle's own pixels, when the change lays it over
    std::string Data;   // the zlib stream, once encoded
    std::string Laid;   // laid over in RGBA, while Add is to choose
  };

  ApngEncoder(int width, int height, AnimationTiming timing);

  void AddFrame(const RgbaRaster& frame);

  Frame Prepare(const RgbaRaster& frame);
  void Encode(Frame& frame) const;
  void Add(Frame&& frame);

  // The whole file. Frames packed before the format had to grow are packed
  // again here.
  std::string Finish();

 private:
  // Moves to a format that holds the colours of `pixels` too.
  void Admit(const RgbaRaster& pixels);
  std::string PackedRows(const RgbaRaster& pixels, PixelKind kind) const;
  RgbaRaster UnpackedRows(const Frame& frame) const;

  int width_, height_;
  AnimationTiming timing_;
  RgbaRaster canvas_;  // the last frame prepared
  PixelKind kind_ = PixelKind::Palette;
  std::vector<std::uint32_t> palette_;  // in order of appearance, so indexes stay
  std::unordered_map<std::uint32_t, std::uint8_t> index_;
  bool seenAlpha_ = false;  // a pixel not opaque in some frame
  int replacedInARow_ = 0;  // RGB frames that packed smaller replacing
  std::vector<Frame> frames_;
};

}  // namespace flinder
