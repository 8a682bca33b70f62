#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "animation/AnimationEncoder.h"
#include "gif/AnimatedGIF.h"
#include "gif/IndexedFrame.h"

namespace flinder {

// Writes a looping GIF89a whose frames are whole and independent of each
// other: each becomes a one-frame GIF file (EncodeGifFrame), which the
// merger (AnimatedGIF) joins in order, its palette made the frame's own.
class MergedGifEncoder : public AnimationEncoder<IndexedFrame> {
 public:
  // `delay` in hundredths of a second; `loopCount` as the loop block says it.
  MergedGifEncoder(int width, int height, std::uint16_t delay, int loopCount);
  ~MergedGifEncoder() override;

  std::unique_ptr<Frame> Prepare(IndexedFrame&& frame) override;
  void Encode(Frame& frame) const override;
  Result<> Add(std::unique_ptr<Frame> frame) override;
  std::string TakeBytes() override;
  Result<std::string> Finish() override;

 private:
  struct FrameFile;

  AnimatedGIF merger_;
  int framesPrepared_ = 0;
};

}  // namespace flinder
