#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "animation/AnimationEncoder.h"
#include "animation/AnimationTiming.h"
#include "render/RgbaRaster.h"

namespace flinder {

// Writes an animated PNG: the first frame whole, every later one as the
// rectangle that changed (FrameChange), nothing disposed, laid over the frame
// before where it can be, else replacing its rectangle. The pixels are stored
// in the smallest format that holds every frame exactly: 8-bit palette
// indexes for at most 256 opaque colours, replacing; else RGB, replacing,
// while every pixel is opaque and no frame packs smaller laid over in RGBA;
// else RGBA. A single frame makes a plain PNG.
class ApngEncoder : public AnimationEncoder<RgbaRaster> {
 public:
  enum class PixelKind { Palette, Rgb, Rgba };

  ApngEncoder(int width, int height, AnimationTiming timing);
  ~ApngEncoder() override;

  // A frame of the encoder's size.
  std::unique_ptr<Frame> Prepare(RgbaRaster&& frame) override;
  void Encode(Frame& frame) const override;
  Result<> Add(std::unique_ptr<Frame> frame) override;
  // Frames packed before the format had to grow are packed again here.
  Result<std::string> Finish() override;

 private:
  struct ApngFrame;

  // Moves to a format that holds the colours of `pixels` too.
  void Admit(const RgbaRaster& pixels);
  std::string PackedRows(const RgbaRaster& pixels, PixelKind kind) const;
  RgbaRaster UnpackedRows(const ApngFrame& frame) const;

  int width_, height_;
  AnimationTiming timing_;
  RgbaRaster canvas_;  // the last frame prepared
  PixelKind kind_ = PixelKind::Palette;
  std::vector<std::uint32_t> palette_;  // in order of appearance, so indexes stay
  std::unordered_map<std::uint32_t, std::uint8_t> index_;
  bool seenAlpha_ = false;  // a pixel not opaque in some frame
  int replacedInARow_ = 0;  // RGB frames that packed smaller replacing
  std::vector<std::unique_ptr<ApngFrame>> frames_;
};

}  // namespace flinder
