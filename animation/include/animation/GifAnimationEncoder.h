#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "animation/AnimationEncoder.h"
#include "design/ColourValue.h"
#include "gif/IndexedFrame.h"

namespace flinder {

// Writes a looping GIF89a straight from an animation's frames, given as
// indexes into one palette: one global colour table, then per frame a
// graphic control block (delay, disposal, transparency) and an image.
//
// Plain, every frame is whole. Optimised, every frame after the first holds
// only the rectangle where the picture changes, with the pixels that stay as
// they were written as a transparent index, so that the LZW codes get long
// runs; the frame is left in place for the next one to draw over.
//
// With a transparent entry (a transparent design), a frame whose opaque
// pixels turn transparent in the next frame is cleared ("restore to
// background") over a rectangle that holds them; the last frame looks ahead
// to the first, which follows it when the animation loops. So Prepare gives
// each frame's image once the next frame is known.
class GifAnimationEncoder : public AnimationEncoder<IndexedFrame> {
 public:
  // `transparentIndex` is the palette entry of background pixels, or -1;
  // `delay` is in hundredths of a second, `loopCount` goes to the loop block
  // (AnimatedGIF::BuildLoopExtension). The palette holds 1 to 256 colours.
  GifAnimationEncoder(int width, int height, std::vector<ColourValue> palette, int transparentIndex,
                      bool optimise, std::uint16_t delay, int loopCount = 999);
  ~GifAnimationEncoder() override;

  // The next frame: Width x Height indexes, row by row.
  std::unique_ptr<Frame> Prepare(IndexedFrame&& frame) override;
  void Encode(Frame& frame) const override;
  Result<> Add(std::unique_ptr<Frame> frame) override;
  std::string TakeBytes() override;
  Result<std::string> Finish() override;

 private:
  struct Box;
  struct FrameImage;

  std::unique_ptr<FrameImage> ChooseImage(const std::vector<std::uint8_t>& next);
  Box ChangedBox(const std::vector<std::uint8_t>& frame) const;
  Box VanishingBox(const std::vector<std::uint8_t>& frame,
                   const std::vector<std::uint8_t>& next) const;
  int CollectPixels(const std::vector<std::uint8_t>& frame, FrameImage& image);
  void WriteImage(const FrameImage& image);

  int width_, height_;
  std::vector<ColourValue> palette_;
  int tableBits_ = 1;
  int transparentIndex_;
  bool optimise_;
  std::uint16_t delay_;

  std::string out_;  // not yet taken
  int framesChosen_ = 0;
  std::vector<std::uint8_t> first_;    // needed again by the last frame
  std::vector<std::uint8_t> pending_;  // added, not yet chosen
  // What a reader shows before the pending frame; the transparent index
  // stands for a cleared pixel.
  std::vector<std::uint8_t> canvas_;
  // The memory of images written, for the pixels of the next ones.
  std::vector<std::vector<std::uint8_t>> spareRows_;
};

}  // namespace flinder
